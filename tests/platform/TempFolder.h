// A fresh folder under /tmp for one test, removed with everything in it afterwards,
// and a guard that restores the file resolver's base folder.
#pragma once
#include "platform/Files.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

class CTempFolder {
public:
    CTempFolder() {
        std::string pattern = (std::filesystem::temp_directory_path() / "gametest.XXXXXX").string();
        char* p = mkdtemp(pattern.data());
        m_strPath = p != nullptr ? p : "";
    }
    ~CTempFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_strPath, ec);
    }
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::string& Path() const { return m_strPath; }
    // Real path of a file inside the folder ("a/b.txt").
    std::string File(const std::string& rel) const { return m_strPath + "/" + rel; }

    void Write(const std::string& rel, const std::string& text) const {
        std::filesystem::create_directories(std::filesystem::path(File(rel)).parent_path());
        std::ofstream(File(rel), std::ios::binary) << text;
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
    std::string m_strPath;
};

// Restores the resolver's base folder when the test ends.
class CBaseFolderGuard {
public:
    CBaseFolderGuard() : m_strSaved(GetCurrentDirectory()) {}
    ~CBaseFolderGuard() { SetCurrentDirectory(m_strSaved.c_str()); }

private:
    std::string m_strSaved;
};
