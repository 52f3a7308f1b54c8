#pragma once
// Window state of the main window and the values of the settings store.
#include <atomic>
#include <cstdint>
#include <string>

struct WindowState {
    uint8_t Brand = 1;
    // Read by the worker when it builds texts; written only by the UI thread.
    std::atomic<uint8_t> Language{1};
    uint8_t DefaultLanguage = 1;
    uint8_t WindowSize = 1;
    int LayoutOffsets[7]{};
    uint8_t AltLayout = 1;
    uint8_t SetupLabelsPending = 1;
    uint8_t RestoreSmallLayout = 0;
    uint8_t DemandExtraColumn = 0;
    std::atomic<uint8_t> HideNextProgressBar{0};
    int TraceLineCount = 1;

    // Values of the settings store.
    std::string VersionSetting;
    std::string IpAddressSetting;
    std::string PrimaryAddressSetting;
    std::string SecondaryAddressSetting;
    std::string ModbusAddressSetting;
    std::atomic<int> MbusPortIndex{0};
    std::atomic<int> ModbusPortIndex{0};
    std::atomic<int> MbusBaudIndex{0};
    std::atomic<int> ModbusBaudIndex{0};
    std::atomic<int> SerialModeIndex{0};
    int ProtocolSetting = 0;
    int LanguageSetting = 0;
    int RefreshSetting = 0;
    int WindowSizeSetting = 0;
    int DemandWindowSetting = 0;
    int DemandColWidthSettings[11]{};
    int CertifiedColWidthSettings[6]{};
};
