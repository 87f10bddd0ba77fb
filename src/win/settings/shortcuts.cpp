#include "settings/shortcuts.h"

#include <windows.h>

#include <knownfolders.h>
#include <objbase.h>
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <filesystem>

namespace vntra {
namespace {

bool known_folder(REFKNOWNFOLDERID id, std::wstring& path) {
    PWSTR found = nullptr;
    HRESULT result = ::SHGetKnownFolderPath(id, KF_FLAG_DEFAULT, nullptr, &found);
    if (SUCCEEDED(result) && found)
        path = found;
    ::CoTaskMemFree(found);
    return SUCCEEDED(result) && !path.empty();
}

// COM for the calling thread, for as long as the object lives.
class ComScope {
  public:
    ComScope() : initialised_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComScope() {
        if (initialised_)
            ::CoUninitialize();
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    bool initialised_;
};

} // namespace

ShortcutPlaces find_shortcut_places() {
    ShortcutPlaces places;
    std::wstring desktop;
    std::wstring startup;
    if (!known_folder(FOLDERID_Desktop, desktop) || !known_folder(FOLDERID_Startup, startup))
        return places;
    std::wstring module(MAX_PATH, L'\0');
    for (;;) {
        DWORD length =
            ::GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
        if (length == 0)
            return places;
        if (length < module.size()) {
            module.resize(length);
            break;
        }
        module.resize(module.size() * 2); // a long path: try a bigger buffer
    }
    places.target = module;
    places.working_folder = std::filesystem::path(module).parent_path().wstring();
    places.desktop_link = (std::filesystem::path(desktop) / SHORTCUT_FILE_NAME).wstring();
    places.startup_link = (std::filesystem::path(startup) / SHORTCUT_FILE_NAME).wstring();
    places.known = true;
    return places;
}

bool shortcut_exists(const std::wstring& link) {
    DWORD attributes = ::GetFileAttributesW(link.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool create_shortcut(const std::wstring& link, const std::wstring& target,
                     const std::wstring& working_folder) {
    ComScope com;
    IShellLinkW* shell_link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&shell_link))))
        return false;
    bool saved = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shell_link->SetPath(target.c_str())) &&
        SUCCEEDED(shell_link->SetWorkingDirectory(working_folder.c_str())) &&
        SUCCEEDED(shell_link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        saved = SUCCEEDED(file->Save(link.c_str(), TRUE));
        file->Release();
    }
    shell_link->Release();
    // A save that claims success but left no file is no shortcut either.
    return saved && shortcut_exists(link);
}

bool delete_shortcut(const std::wstring& link) {
    if (::DeleteFileW(link.c_str()))
        return true;
    DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

} // namespace vntra
