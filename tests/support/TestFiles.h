#pragma once

#include <windows.h>

#include <string>
#include <vector>

// A fresh folder under the prefix's temporary folder, removed with all its
// contents when the object goes.
class CTempDir
{
public:
    CTempDir();
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;
    ~CTempDir();

    const std::string& Path() const { return m_strPath; }
    // Path of a name inside the folder (sub\\name allowed).
    std::string operator/(const std::string& strName) const { return m_strPath + "\\" + strName; }

private:
    std::string m_strPath;
};

// A file held open as another program holds it, sharing only what is
// given, until the object goes, or for a moment (a scanner, an indexer)
// when it lets go after dwLetGoAfterMs.
class CHeldFile
{
public:
    CHeldFile(const std::string& strPath, DWORD dwShare, DWORD dwLetGoAfterMs = INFINITE);
    CHeldFile(const CHeldFile&) = delete;
    CHeldFile& operator=(const CHeldFile&) = delete;
    ~CHeldFile();

    bool Held() const { return m_hFile != INVALID_HANDLE_VALUE; }

private:
    static DWORD WINAPI LetGo(LPVOID pHeld);

    HANDLE m_hFile;
    DWORD m_dwLetGoAfterMs;
    HANDLE m_hThread = nullptr;
};

void RemoveTree(const std::string& strPath);
void MakeFolder(const std::string& strPath);
bool WriteBytes(const std::string& strPath, const std::vector<unsigned char>& bytes);
bool WriteText(const std::string& strPath, const std::string& strText);
bool WriteTextW(const std::wstring& strPath, const std::string& strText);
std::vector<unsigned char> ReadBytes(const std::string& strPath);
bool FileExists(const std::string& strPath);
// The names a directory search returns for a pattern, in its order, without
// "." and "..".
std::vector<std::string> ListFolder(const std::string& strPattern);

// A 24-bit BMP file of the given size filled with one colour.
std::vector<unsigned char> MakeBmp(int nWidth, int nHeight, COLORREF color = RGB(40, 90, 160));

// The folder of the running test program and the generated pictures in it.
std::string ProgramFolder();
std::string TestDataPath(const std::string& strName);
// The program the tests start: Vellomar.exe, which runs under UTF-8, or with
// --legacy-program on the command line its copy that runs under the code
// page of the locale, as on Windows before 10 1903.
std::string VellomarExePath();
bool TestsLegacyProgram();

// The user's application-data folder in the test prefix and ours in it.
std::string AppDataFolder();
std::string DataFolder();
