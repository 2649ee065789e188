#pragma once
// What the home page makes of the system-information library's records: the texts it shows,
// the model class, and the system sheet of the detail view with its height. No window is
// needed here, so the rules can be checked on their own; the page only collects and shows.

#include <windows.h>

#include "framework/SharedString.h"
#include "sysinfo/TavDLL.h"

namespace home {

constexpr DWORD kMsgNothing = 0x20002729;
constexpr DWORD kMsgUnknown = 0x2000272A;
constexpr DWORD kMsgNoMemory = 0x2000272B;

// The page keeps copies of at most this many sound drivers.
constexpr int kMaxSoundDrivers = 10;

// The sheet's canvas: 455 wide; its scroll size is 3 pixels narrower, so the vertical bar
// never needs a horizontal one beside it.
constexpr int kSheetCanvasWidth = 455;
constexpr int kSheetScrollWidth = 452;

// 0 for 'N' and DMU models (and when the model name cannot be read): they carry wireless
// LAN and Bluetooth, so their sheet has those sections. 1 for every other model.
int ModelClassOf(const wchar_t* modelName);

// "(C:) 500.11 GBytes (D:) 80.00 MBytes " for the library's disk array: disks in powers of
// 1000, each entry followed by one space; the first empty drive name (or the tenth entry)
// ends the list.
fw::CSharedString DiskListText(const LOGICALDISK* disks);
// The memory total in powers of 1024 ("2.00 GBytes", "512.00 MBytes"); for 0 the message
// that the capacity cannot be shown, in `language`.
fw::CSharedString MemoryText(double totalBytes, LANGID language);
// The purchase date; "Unknown" when the maker left the placeholder year "20YY" in it.
fw::CSharedString PurchaseDateText(const wchar_t* userDate, LANGID language);
// `text`, or "Nothing" when it is empty (a missing graphics adapter or optical drive).
fw::CSharedString TextOrNothing(const wchar_t* text, LANGID language);

// Replaces an empty description, manufacturer or version with `nothing`.
void FillMissingFields(DRIVERINFO& record, const wchar_t* nothing);
// Copies the library's sound list, in its order, into `copies` (at most kMaxSoundDrivers)
// and returns how many were copied. Empty fields of the list and of the copies become
// `nothing`; with no sound driver at all the first copy reads `nothing` in every field, so
// the sheet's sound section is never blank. `list` may be null.
int CopySoundDrivers(DriverInfoList* list, DRIVERINFO (&copies)[kMaxSoundDrivers],
                     const wchar_t* nothing);

// The sheet's height for its content: 234 for the fixed sections and one sound driver's
// place, 36 for each sound driver, 120 for the wireless LAN and Bluetooth sections of model
// class 0.
int SheetHeight(int soundDrivers, int modelClass);
// The canvas the page makes at start: 580 with the wireless sections, 480 without.
int BaseCanvasHeight(int modelClass);
// The canvas the sheet needs: the base canvas, made taller when the content reaches below
// it, so a machine with many sound devices loses none of its rows.
int CanvasHeightFor(int soundDrivers, int modelClass);

// Everything the sheet shows. Texts must not be null; records may be (their rows stay empty).
struct SheetContent {
    const wchar_t* purchaseDate = L"";
    const wchar_t* processor = L"";
    const wchar_t* bios = L"";
    const wchar_t* serialNumber = L"";
    const wchar_t* memory = L"";
    const wchar_t* disks = L"";
    const wchar_t* opticalDrive = L"";
    const wchar_t* operatingSystem = L"";
    const wchar_t* graphics = L"";
    const DRIVERINFO* video = nullptr;
    const DRIVERINFO* sound = nullptr; // the page's copies; the first one is always drawn
    int soundCount = 0;
    const DRIVERINFO* network = nullptr;
    const DRIVERINFO* wireless = nullptr;
    const DRIVERINFO* bluetooth = nullptr;
    int modelClass = 0;
};

// The first steps of the sheet: the (244, 244, 244) ground over `height` and the purchase
// date band. The page draws this when it makes the canvas, before any driver is known.
void DrawSheetGround(HDC dc, int height, const SheetContent& content, LANGID language, HFONT font);
// The whole sheet onto a canvas `height` high, in `font`. Returns the bottom of the last
// line drawn; with a null `dc` nothing is drawn and only the bottom is worked out.
int DrawSheet(HDC dc, int height, const SheetContent& content, LANGID language, HFONT font);

} // namespace home
