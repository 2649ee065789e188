#pragma once
// What a test found, written into TestResult::problemCode. The code is also the row of the
// program's result view, selects the repair and the row's four texts, so the numbers are fixed.
// Rows 7, 16 and 23 are set by no test; 30 only by the XP build.

#include <cstdint>

enum ProblemCode : int32_t {
    NO_PROBLEM = 0,
    ERROR_GRP_DRV_NOTFOUND = 1,
    ERROR_GRP_DEVICE_NOTUSE = 2,
    ERROR_GRP_DEVICE_ABNORMAL = 3,
    ERROR_GRP_DWM_STOPPED = 4,
    ERROR_GRP_RESOLUTION = 5,
    ERROR_GRP_COLORBIT = 6,
    ERROR_GRP_3DTEST = 7,
    ERROR_SND_DRV_NOTFOUND = 8,
    ERROR_SND_DEVICE_ABNORMAL = 9,
    ERROR_SND_DEVICE_NOTUSE = 10,
    ERROR_SND_AUDIOSRV_STOPPED = 11,
    ERROR_SND_ENDPOINT_STOPPED = 12,
    ERROR_SND_NO_OUTPUT = 13,
    ERROR_SND_MUTE = 14,
    ERROR_SND_LEVEL = 15,
    ERROR_SND_PLAYTEST = 16,
    ERROR_NET_DRV_NOTFOUND = 17,
    ERROR_NET_DEVICE_ABNORMAL = 18,
    ERROR_NET_DEVICE_NOTUSE = 19,
    ERROR_NET_WLAN_OFF = 20,
    ERROR_NET_WLANSVC_STOPPED = 21,
    ERROR_NET_CABLE_DISCONNECT = 22,
    ERROR_NET_INTERNET = 23,
    ERROR_SYSTEM_HDD = 24,
    ERROR_SYSTEM_ANTIVIRUS = 25,
    ERROR_SYSTEM_FIREWALL = 26,
    ERROR_SYSTEM_VMEMORY = 27,
    ERROR_SYSTEM_WINUPDATE = 28,
    ERROR_SYSTEM_TEMPFILES = 29,
    ERROR_SYSTEM_KYV = 30,
    ERROR_SYSTEM_DSV = 31,
    ERROR_SYSTEM_SPV = 32,
    ERROR_SYSTEM_PTW = 33,
    ERROR_SYSTEM_PTW_UPDATECONFIG = 34,
    ERROR_SYSTEM_PTW_NEWUPDATE = 35,
};

constexpr int kProblemCodeCount = 35;

// TestResult::categoryTag of each test group.
enum CategoryTag : int32_t {
    kTagDisplay = 3,
    kTagSound = 4,
    kTagNetwork = 8,
    kTagSystem = 32,
};
