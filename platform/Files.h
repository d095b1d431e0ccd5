// File services of the game: a game-folder base that stands in for the current
// directory, and a resolver that turns the game's Windows-style, case-insensitive
// file names ("data\Base.dat", "Sound\jl01.wav") into real paths. Every file access
// of the game goes through these functions; nothing changes the process's own
// working folder.
#pragma once
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

// Sets the base folder that relative names resolve against. A relative argument
// resolves against the current base. False (base unchanged) when the folder does
// not exist.
bool SetCurrentDirectory(const char* pPath);
// The current base folder as a real path without a trailing slash; initially the
// process's working folder.
std::string GetCurrentDirectory();

// Turns a game file name (backslashes or slashes, absolute or relative to the base)
// into a real path. Each existing component is matched case-insensitively, an exact
// match preferred; a component that matches nothing keeps its spelling, and so do
// all components after it, so the path can be used to create files and folders.
std::string ResolvePath(std::string_view name);

// Opens a file through the resolver with an fopen mode ("r", "rb", "wb", "r+b", "ab"...);
// null on failure. Only regular files are opened: a folder, a named pipe or a device in
// place of a file fails at once (never waits for a writer) and truncates nothing.
FILE* OpenFile(const char* pName, const char* pMode);
// Why the last OpenFile or CheckRegularFile of this thread failed, in words
// ("is a folder, not a file", "does not exist").
std::string OpenFileError();
// True when a real path names a regular file; otherwise false with the reason in
// OpenFileError. For paths handed to libraries that open files themselves.
bool CheckRegularFile(const std::string& strPath);
// True when the name resolves to an existing regular file.
bool FileExists(const char* pName);
// True when the name resolves to an existing folder.
bool DirectoryExists(const char* pName);
// Creates a folder; true when it exists afterwards (an existing folder is no error).
bool MakeDirectory(const char* pName);
// Why files cannot be written into a folder (made when missing), naming it by its real
// path: empty when it exists and is writable, else e.g. "the folder /g/mp3 cannot be
// made: the folder /g is not writable (Permission denied)".
std::string FolderWriteProblem(const char* pName);
// Deletes a file; true when it was removed.
bool RemoveFile(const char* pName);
// Deletes a folder when it is empty; true when it was removed. A file of that name stays.
bool RemoveEmptyDirectory(const char* pName);
// Renames the file pTemp over pFinal in one step (both through the resolver).
bool ReplaceFile(const char* pTemp, const char* pFinal);
// Names (not paths) of the regular files in a folder that match a wildcard pattern
// ('*' any run, '?' one character, case-insensitive; "*.*" matches every name),
// sorted by name. Empty when the folder does not exist.
std::vector<std::string> ListFiles(const char* pFolder, const char* pPattern);
// True when name matches the wildcard pattern as ListFiles matches it.
bool MatchWildcard(std::string_view pattern, std::string_view name);
