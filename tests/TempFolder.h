// The one place tests and fuzz targets get temporary files from: a fresh mkdtemp folder
// under the temporary directory ($TMPDIR or /tmp), removed with everything in it when the
// object goes away, and a guard that restores the file resolver's base folder. Nothing
// here depends on the test framework, so the fuzz targets use it as well.
#pragma once
#include "platform/Files.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class CTempFolder {
public:
    // pszTag names the folder for whoever looks at a failed run ("gametest" when absent).
    explicit CTempFolder(const char* pszTag = "gametest") {
        std::error_code ec;
        std::filesystem::path base = std::filesystem::temp_directory_path(ec);
        if (ec) base = "/tmp";
        std::string pattern = (base / (std::string(pszTag) + ".XXXXXX")).string();
        if (mkdtemp(pattern.data()) == nullptr) Die("cannot make a temporary folder", pattern);
        m_strPath = pattern;
    }
    ~CTempFolder() {
        std::error_code ec;
        if (!m_bKeep) std::filesystem::remove_all(m_strPath, ec);
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::string& Path() const { return m_strPath; }
    // Leaves the folder in place at the end (for pictures a developer asked to look at).
    void Keep() { m_bKeep = true; }
    // Real path of a file inside the folder ("a/b.txt").
    std::string File(const std::string& rel) const { return m_strPath + "/" + rel; }

    // Writes a file of the folder, making its subfolders; a failed write ends the run,
    // since every check after it would test the wrong thing.
    void Write(const std::string& rel, const std::string& text) const {
        std::error_code ec;
        std::filesystem::create_directories(std::filesystem::path(File(rel)).parent_path(), ec);
        std::ofstream out(File(rel), std::ios::binary);
        out << text;
        out.close();
        if (!out) Die("cannot write", File(rel));
    }
    void Write(const std::string& rel, const std::vector<std::uint8_t>& bytes) const {
        Write(rel, std::string(bytes.begin(), bytes.end()));
    }
    std::vector<std::uint8_t> Read(const std::string& rel) const {
        std::ifstream in(File(rel), std::ios::binary);
        return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Names of every entry of a subfolder ("" for the folder itself), sorted.
    std::vector<std::string> Entries(const std::string& rel = "") const {
        std::vector<std::string> names;
        for (const auto& e : std::filesystem::directory_iterator(rel.empty() ? m_strPath : File(rel))) {
            names.push_back(e.path().filename().string());
        }
        std::sort(names.begin(), names.end());
        return names;
    }

private:
    [[noreturn]] static void Die(const char* pszWhat, const std::string& strPath) {
        std::fprintf(stderr, "test folder: %s %s\n", pszWhat, strPath.c_str());
        std::abort();
    }

    std::string m_strPath;
    bool m_bKeep = false;
};

// A folder that lives as long as the process (for state every test of a program shares,
// such as a private runtime folder); removed when the program ends.
inline const CTempFolder& ProcessTempFolder() {
    static const CTempFolder s_folder("gameproc");
    return s_folder;
}

// Restores the resolver's base folder when the test ends.
class CBaseFolderGuard {
public:
    CBaseFolderGuard() : m_strSaved(GetCurrentDirectory()) {}
    ~CBaseFolderGuard() { SetCurrentDirectory(m_strSaved.c_str()); }

private:
    std::string m_strSaved;
};
