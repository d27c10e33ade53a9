// The prefix's DPI for the programs a test starts while the object lives (each reads it once).
#pragma once

#include <windows.h>

namespace driver {

// Then the DPI it was, or none.
class LogPixels {
  public:
    explicit LogPixels(DWORD dpi) {
        RegCreateKeyExW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", 0, nullptr, 0,
                        KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key_, nullptr);
        DWORD size = sizeof previous_;
        had_ = RegQueryValueExW(key_, L"LogPixels", nullptr, nullptr,
                                reinterpret_cast<BYTE*>(&previous_), &size) == ERROR_SUCCESS;
        set_ = RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<BYTE*>(&dpi),
                              sizeof dpi) == ERROR_SUCCESS;
    }
    ~LogPixels() {
        if (had_) {
            RegSetValueExW(key_, L"LogPixels", 0, REG_DWORD, reinterpret_cast<BYTE*>(&previous_),
                           sizeof previous_);
        } else {
            RegDeleteValueW(key_, L"LogPixels");
        }
        RegCloseKey(key_);
    }
    LogPixels(const LogPixels&) = delete;
    LogPixels& operator=(const LogPixels&) = delete;
    bool set() const { return set_; }

  private:
    HKEY key_ = nullptr;
    DWORD previous_ = 0;
    bool had_ = false;
    bool set_ = false;
};

}  // namespace driver
