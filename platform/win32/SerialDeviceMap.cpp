// The serial device map on Windows: HKEY_LOCAL_MACHINE\HARDWARE\DEVICEMAP\SERIALCOMM.
// Value names are device names (\Device\USBSER000), value data the port names (COM3).

#include "platform/SerialDeviceMap.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <array>
#include <vector>

namespace {

// Opened one level at a time, the way the map is documented.
constexpr std::array<const char*, 3> kMapPath = {"HARDWARE", "DEVICEMAP", "SERIALCOMM"};

// Read, never write: with full access an ordinary user account is refused the
// key, the Port menu stays empty and the program cannot send at all.
constexpr REGSAM kMapAccess = KEY_READ;

constexpr DWORD kMaxValueNameLength = 16383;  // the registry's own limit, in characters
constexpr std::size_t kMaxValueNameBytes = 4 * (kMaxValueNameLength + 1);
constexpr int kReadAttempts = 3;  // a value that keeps growing under us is given up

using devicemap::errorText;
using devicemap::kErrorFailedToGetData;
using devicemap::kErrorInvalidDataType;

bool isTextType(DWORD type) {
    return type == REG_SZ || type == REG_EXPAND_SZ;
}

}  // namespace

struct SerialDeviceMap::Impl {
    HKEY key = nullptr;
};

SerialDeviceMap::SerialDeviceMap() : impl_(std::make_unique<Impl>()) {
    HKEY parent = HKEY_LOCAL_MACHINE;
    for (const char* subKey : kMapPath) {
        HKEY child = nullptr;
        const LSTATUS status = RegOpenKeyExA(parent, subKey, 0, kMapAccess, &child);
        if (parent != HKEY_LOCAL_MACHINE) RegCloseKey(parent);
        if (status != ERROR_SUCCESS) return;
        parent = child;
    }
    impl_->key = parent;
}

SerialDeviceMap::~SerialDeviceMap() {
    if (impl_->key != nullptr) RegCloseKey(impl_->key);
}

bool SerialDeviceMap::isOpen() const {
    return impl_->key != nullptr;
}

std::vector<std::string> SerialDeviceMap::valueNames() const {
    std::vector<std::string> names;
    if (!isOpen()) return names;
    std::vector<char> name(kMaxValueNameLength + 1);
    for (DWORD index = 0;;) {
        DWORD length = static_cast<DWORD>(name.size());
        const LSTATUS status =
            RegEnumValueA(impl_->key, index, name.data(), &length, nullptr, nullptr, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) {
            // In a multi-byte code page a name of 16383 characters takes more
            // bytes; one that no buffer holds is left out, the others are not.
            if (name.size() < kMaxValueNameBytes)
                name.resize(name.size() * 2);
            else
                ++index;
            continue;
        }
        if (status != ERROR_SUCCESS) break;  // ERROR_NO_MORE_ITEMS, or the key went away
        names.emplace_back(name.data(), length);
        ++index;
    }
    return names;
}

bool SerialDeviceMap::readText(const std::string& valueName, std::string& text, std::string& error) const {
    text.clear();
    error.clear();
    if (!isOpen()) {
        error = errorText(kErrorFailedToGetData, valueName);
        return false;
    }
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (RegQueryValueExA(impl_->key, valueName.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
        error = errorText(kErrorFailedToGetData, valueName);
        return false;
    }
    if (size == 0) return true;
    if (!isTextType(type)) {
        error = errorText(kErrorInvalidDataType, valueName);
        return false;
    }
    for (int attempt = 0; attempt < kReadAttempts; ++attempt) {
        // One byte more than the data, zeroed: data stored without its closing
        // NUL still ends inside the buffer.
        std::vector<char> data(size + 1, '\0');
        DWORD got = size;
        const LSTATUS status =
            RegQueryValueExA(impl_->key, valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
        if (status == ERROR_MORE_DATA) {
            size = got;
            continue;
        }
        if (status != ERROR_SUCCESS) break;
        if (!isTextType(type)) {
            error = errorText(kErrorInvalidDataType, valueName);
            return false;
        }
        const DWORD length = got < size ? got : size;
        std::string::size_type end = 0;
        while (end < length && data[end] != '\0') ++end;
        text.assign(data.data(), end);
        return true;
    }
    error = errorText(kErrorFailedToGetData, valueName);
    return false;
}
