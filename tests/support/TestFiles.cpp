#include "TestFiles.h"

#include "AnsiText.h"

#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{
// Wide and prefixed, so that trees deeper than MAX_PATH go too.
void RemoveTreeRecursive(const std::wstring& strPath)
{
    WIN32_FIND_DATAW data;
    HANDLE hFind = ::FindFirstFileW((strPath + L"\\*").c_str(), &data);
    if (hFind != INVALID_HANDLE_VALUE)
    {
        do
        {
            std::wstring strName = data.cFileName;
            if (strName == L"." || strName == L"..")
                continue;
            std::wstring strChild = strPath + L"\\" + strName;
            ::SetFileAttributesW(strChild.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTreeRecursive(strChild);
            else
                ::DeleteFileW(strChild.c_str());
        } while (::FindNextFileW(hFind, &data));
        ::FindClose(hFind);
    }
    ::RemoveDirectoryW(strPath.c_str());
}
} // namespace

CHeldFile::CHeldFile(const std::string& strPath, DWORD dwShare, DWORD dwLetGoAfterMs)
    : m_hFile(::CreateFileA(strPath.c_str(), GENERIC_READ, dwShare, nullptr, OPEN_EXISTING, 0, nullptr)),
      m_dwLetGoAfterMs(dwLetGoAfterMs)
{
    if (Held() && dwLetGoAfterMs != INFINITE)
        m_hThread = ::CreateThread(nullptr, 0, &LetGo, this, 0, nullptr);
}

DWORD WINAPI CHeldFile::LetGo(LPVOID pHeld)
{
    CHeldFile* pThis = static_cast<CHeldFile*>(pHeld);
    ::Sleep(pThis->m_dwLetGoAfterMs);
    ::CloseHandle(pThis->m_hFile);
    return 0;
}

CHeldFile::~CHeldFile()
{
    if (m_hThread)
    {
        ::WaitForSingleObject(m_hThread, INFINITE);
        ::CloseHandle(m_hThread);
    }
    else if (Held())
    {
        ::CloseHandle(m_hFile);
    }
}

CTempDir::CTempDir()
{
    char szTemp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, szTemp);
    static unsigned s_nCounter = 0;
    // Names left by an earlier run are skipped; any other failure, or a
    // hundred taken names, ends the test instead of looping.
    const int kMaxNames = 100;
    DWORD dwError = ERROR_ALREADY_EXISTS;
    for (int nTry = 0; nTry < kMaxNames && dwError == ERROR_ALREADY_EXISTS; ++nTry)
    {
        char szName[64];
        snprintf(szName, sizeof(szName), "vellomar-test-%lu-%u", ::GetCurrentProcessId(), ++s_nCounter);
        m_strPath = std::string(szTemp) + szName;
        if (::CreateDirectoryA(m_strPath.c_str(), nullptr))
            return;
        dwError = ::GetLastError();
    }
    fprintf(stderr, "CTempDir: cannot make a folder under %s (error %lu)\n", szTemp, dwError);
    abort();
}

CTempDir::~CTempDir()
{
    RemoveTree(m_strPath);
}

void RemoveTree(const std::string& strPath)
{
    if (::GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES)
        RemoveTreeRecursive(L"\\\\?\\" + Widen(strPath));
}

void MakeFolder(const std::string& strPath)
{
    ::CreateDirectoryA(strPath.c_str(), nullptr);
}

bool WriteBytes(const std::string& strPath, const std::vector<unsigned char>& bytes)
{
    FILE* pFile = fopen(strPath.c_str(), "wb");
    if (!pFile)
        return false;
    bool bOk = bytes.empty() || fwrite(bytes.data(), 1, bytes.size(), pFile) == bytes.size();
    return fclose(pFile) == 0 && bOk;
}

bool WriteText(const std::string& strPath, const std::string& strText)
{
    return WriteBytes(strPath, std::vector<unsigned char>(strText.begin(), strText.end()));
}

bool WriteTextW(const std::wstring& strPath, const std::string& strText)
{
    FILE* pFile = _wfopen(strPath.c_str(), L"wb");
    if (!pFile)
        return false;
    bool bWritten = fwrite(strText.data(), 1, strText.size(), pFile) == strText.size();
    return fclose(pFile) == 0 && bWritten;
}

std::vector<unsigned char> ReadBytes(const std::string& strPath)
{
    std::vector<unsigned char> bytes;
    FILE* pFile = fopen(strPath.c_str(), "rb");
    if (!pFile)
        return bytes;
    unsigned char buffer[65536];
    size_t nRead;
    while ((nRead = fread(buffer, 1, sizeof(buffer), pFile)) > 0)
        bytes.insert(bytes.end(), buffer, buffer + nRead);
    fclose(pFile);
    return bytes;
}

bool FileExists(const std::string& strPath)
{
    return ::GetFileAttributesA(strPath.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<unsigned char> MakeBmp(int nWidth, int nHeight, COLORREF color)
{
    int nStride = (nWidth * 3 + 3) & ~3;
    DWORD dwImage = static_cast<DWORD>(nStride * nHeight);
    BITMAPFILEHEADER file = {};
    BITMAPINFOHEADER info = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(info);
    file.bfSize = file.bfOffBits + dwImage;
    info.biSize = sizeof(info);
    info.biWidth = nWidth;
    info.biHeight = nHeight;
    info.biPlanes = 1;
    info.biBitCount = 24;
    info.biSizeImage = dwImage;
    info.biXPelsPerMeter = info.biYPelsPerMeter = 3780; // 96 per inch
    std::vector<unsigned char> bytes(file.bfSize);
    memcpy(bytes.data(), &file, sizeof(file));
    memcpy(bytes.data() + sizeof(file), &info, sizeof(info));
    for (int y = 0; y < nHeight; ++y)
    {
        unsigned char* pRow = bytes.data() + file.bfOffBits + y * nStride;
        for (int x = 0; x < nWidth; ++x)
        {
            pRow[x * 3] = GetBValue(color);
            pRow[x * 3 + 1] = static_cast<unsigned char>(GetGValue(color) ^ (x + y));
            pRow[x * 3 + 2] = GetRValue(color);
        }
    }
    return bytes;
}

std::string ProgramFolder()
{
    char szPath[MAX_PATH];
    ::GetModuleFileNameA(nullptr, szPath, MAX_PATH);
    std::string strPath = szPath;
    return strPath.substr(0, strPath.rfind('\\'));
}

std::string TestDataPath(const std::string& strName)
{
    return ProgramFolder() + "\\testdata\\" + strName;
}

bool TestsLegacyProgram()
{
    return strstr(GetCommandLineA(), " --legacy-program") != nullptr;
}

std::string VellomarExePath()
{
    return ProgramFolder() + (TestsLegacyProgram() ? "\\VellomarLegacy.exe" : "\\Vellomar.exe");
}

std::string AppDataFolder()
{
    char szPath[MAX_PATH] = "";
    ::SHGetFolderPathA(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, szPath);
    return szPath;
}

std::string DataFolder()
{
    return AppDataFolder() + "\\Vellomar";
}

std::vector<std::string> ListFolder(const std::string& strPattern)
{
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE hFind = ::FindFirstFileA(strPattern.c_str(), &data);
    if (hFind == INVALID_HANDLE_VALUE)
        return names;
    do
    {
        std::string strName = data.cFileName;
        if (strName != "." && strName != "..")
            names.push_back(strName);
    } while (::FindNextFileA(hFind, &data));
    ::FindClose(hFind);
    return names;
}
