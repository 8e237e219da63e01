#include "app_installer/win/port_adapters.h"

#include <vector>

#include "common/win/ansi.h"
#include "common/win/handles.h"

namespace appsetup::win {

using common::win::UniqueHkey;

std::string WinProfile::ReadString(const std::string& file, const std::string& section,
                                   const std::string& key) {
  // The function cuts values to the buffer; grow it until the value fits whole.
  for (DWORD size = 512; size <= (1u << 20); size *= 2) {
    std::vector<char> buffer(size);
    const DWORD length = ::GetPrivateProfileStringA(section.c_str(), key.c_str(), "",
                                                    buffer.data(), size, file.c_str());
    if (length < size - 1) return std::string(buffer.data(), length);
  }
  return {};
}

int WinProfile::ReadInt(const std::string& file, const std::string& section,
                        const std::string& key, int fallback) {
  return static_cast<int>(
      ::GetPrivateProfileIntA(section.c_str(), key.c_str(), fallback, file.c_str()));
}

HKEY RootKey(RegistryRoot root) {
  switch (root) {
    case RegistryRoot::CurrentUser: return HKEY_CURRENT_USER;
    case RegistryRoot::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RegistryRoot::ClassesRoot: return HKEY_CLASSES_ROOT;
  }
  return HKEY_CURRENT_USER;
}

static UniqueHkey OpenForReading(RegistryRoot root, const std::string& subkey) {
  UniqueHkey key;
  if (::RegOpenKeyExA(RootKey(root), subkey.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) {
    return UniqueHkey();
  }
  return key;
}

bool WinRegistry::KeyExists(RegistryRoot root, const std::string& subkey) {
  return static_cast<bool>(OpenForReading(root, subkey));
}

std::optional<std::string> WinRegistry::ReadString(RegistryRoot root, const std::string& subkey,
                                                   const std::string& name) {
  UniqueHkey key = OpenForReading(root, subkey);
  if (!key) return std::nullopt;
  // The value may change between the size query and the read; retry with the new size.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD type = 0;
    DWORD size = 0;
    if (::RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
      return std::nullopt;
    }
    std::vector<char> data(size + 1, '\0');
    DWORD read = size;
    const LSTATUS status = ::RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                                              reinterpret_cast<BYTE*>(data.data()), &read);
    if (status == ERROR_MORE_DATA) continue;
    if (status != ERROR_SUCCESS) return std::nullopt;
    // Stored values need not carry their terminator.
    std::string text(data.data(), read);
    const size_t end = text.find('\0');
    if (end != std::string::npos) text.resize(end);
    return text;
  }
  return std::nullopt;
}

std::vector<std::string> WinRegistry::SubkeyNames(RegistryRoot root, const std::string& subkey) {
  std::vector<std::string> names;
  UniqueHkey key = OpenForReading(root, subkey);
  if (!key) return names;
  for (DWORD index = 0;; ++index) {
    char name[256];
    DWORD length = sizeof name;
    const LSTATUS status =
        ::RegEnumKeyExA(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_MORE_DATA) continue;  // key names cannot be longer; skip an odd one
    if (status != ERROR_SUCCESS) break;
    names.emplace_back(name, length);
  }
  return names;
}

bool WinFileSystem::FileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool WinFileSystem::DirectoryExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string WinFileSystem::FullPath(const std::string& path) {
  const DWORD needed = ::GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return {};
  std::vector<char> buffer(needed + 1);
  const DWORD length = ::GetFullPathNameA(path.c_str(), needed + 1, buffer.data(), nullptr);
  if (length == 0 || length > needed) return {};
  return std::string(buffer.data(), length);
}

std::string WinSystem::SystemDirectory() {
  char buffer[MAX_PATH];
  const UINT length = ::GetSystemDirectoryA(buffer, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

std::string WinSystem::WindowsDirectory() {
  char buffer[MAX_PATH];
  const UINT length = ::GetWindowsDirectoryA(buffer, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(buffer, length) : std::string();
}

uint16_t WinSystem::UiLanguage() { return ::GetThreadUILanguage(); }

CodePage WinSystem::AnsiCodePage() { return common::win::AnsiCodePage(); }

MessageAnswer WinMessageBoxes::Show(WindowRef owner, const std::string& text,
                                    const std::string& caption, MessageIcon icon,
                                    MessageButtons buttons) {
  UINT style = 0;
  switch (icon) {
    case MessageIcon::None: break;
    case MessageIcon::Error: style |= MB_ICONERROR; break;
    case MessageIcon::Warning: style |= MB_ICONWARNING; break;
    case MessageIcon::Question: style |= MB_ICONQUESTION; break;
    case MessageIcon::Information: style |= MB_ICONINFORMATION; break;
  }
  switch (buttons) {
    case MessageButtons::Ok: style |= MB_OK; break;
    case MessageButtons::OkCancel: style |= MB_OKCANCEL; break;
    case MessageButtons::YesNo: style |= MB_YESNO; break;
    case MessageButtons::YesNoCancel: style |= MB_YESNOCANCEL; break;
  }
  const int answer = ::MessageBoxA(reinterpret_cast<HWND>(owner), text.c_str(),
                                   caption.empty() ? nullptr : caption.c_str(), style);
  switch (answer) {
    case IDOK: return MessageAnswer::Ok;
    case IDYES: return MessageAnswer::Yes;
    case IDNO: return MessageAnswer::No;
    default: return MessageAnswer::Cancel;
  }
}

LANGID LanguageIdOf(Language language) {
  switch (language) {
    case Language::Japanese: return MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
    case Language::TraditionalChinese: return MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_TRADITIONAL);
    case Language::English: break;
  }
  return MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
}

std::optional<std::string> WinStringTable::Load(Language language, int number) {
  if (number < 0 || number > 0xFFFF) return std::nullopt;
  // Strings are stored in blocks of 16: block n/16+1, entry n%16, each a length and UTF-16 text.
  HRSRC found = ::FindResourceExW(module_, MAKEINTRESOURCEW(6),  // RT_STRING
                                  MAKEINTRESOURCEW(number / 16 + 1), LanguageIdOf(language));
  if (!found) return std::nullopt;
  HGLOBAL loaded = ::LoadResource(module_, found);
  const auto* data = static_cast<const WCHAR*>(loaded ? ::LockResource(loaded) : nullptr);
  if (!data) return std::nullopt;
  const DWORD sizeChars = ::SizeofResource(module_, found) / sizeof(WCHAR);
  DWORD at = 0;
  for (int entry = 0; entry < number % 16; ++entry) {
    if (at >= sizeChars) return std::nullopt;
    at += 1 + data[at];
  }
  if (at >= sizeChars || data[at] == 0 || at + 1 + data[at] > sizeChars) return std::nullopt;
  const int length = data[at];
  const WCHAR* text = data + at + 1;
  const int bytes = ::WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(bytes), '\0');
  ::WideCharToMultiByte(CP_ACP, 0, text, length, out.data(), bytes, nullptr, nullptr);
  return out;
}

}  // namespace appsetup::win
