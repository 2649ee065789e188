// The home page's rules for what it shows of the system-information library's records, and
// the system sheet drawn onto a memory canvas, all without a window.
#include "pages/SystemSummary.h"

#include "framework/Handles.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace home;

namespace {

constexpr LANGID kEnglish = 0x0409;
constexpr wchar_t kNothing[] = L"Nothing";

LOGICALDISK Disk(const wchar_t* drive, double size)
{
    LOGICALDISK disk = {};
    lstrcpynW(disk.driveName, drive, 3);
    disk.driveType = 3;
    disk.size = size;
    return disk;
}

DRIVERINFO Driver(const wchar_t* description, const wchar_t* manufacturer, const wchar_t* version)
{
    DRIVERINFO record = {};
    lstrcpynW(record.description, description, ARRAYSIZE(record.description));
    lstrcpynW(record.manufacturer, manufacturer, ARRAYSIZE(record.manufacturer));
    lstrcpynW(record.version, version, ARRAYSIZE(record.version));
    return record;
}

void ExpectDriver(const DRIVERINFO& record, const wchar_t* description, const wchar_t* manufacturer,
                  const wchar_t* version, int index)
{
    EXPECT_STREQ(record.description, description) << index;
    EXPECT_STREQ(record.manufacturer, manufacturer) << index;
    EXPECT_STREQ(record.version, version) << index;
}

} // namespace

// ---- texts ---------------------------------------------------------------------------------

TEST(HomeTexts, DisksAreListedInPowersOfThousandEachFollowedByASpace)
{
    struct Case {
        std::vector<LOGICALDISK> disks; // padded with empty entries to the library's ten
        const wchar_t* expected;
    };
    const Case cases[] = {
        {{Disk(L"C:", 500.11e9)}, L"(C:) 500.11 GBytes "},
        {{Disk(L"D:", 80e6)}, L"(D:) 80.00 MBytes "},
        {{Disk(L"C:", 500.11e9), Disk(L"D:", 80e6)}, L"(C:) 500.11 GBytes (D:) 80.00 MBytes "},
        // Exactly 10^9 bytes is the first size in GBytes; a byte less stays in MBytes.
        {{Disk(L"E:", 1e9)}, L"(E:) 1.00 GBytes "},
        {{Disk(L"E:", 999e6)}, L"(E:) 999.00 MBytes "},
        {{Disk(L"F:", 0)}, L"(F:) 0.00 MBytes "},
        // An empty drive name ends the list, whatever follows it.
        {{Disk(L"C:", 2e9), Disk(L"", 0), Disk(L"G:", 3e9)}, L"(C:) 2.00 GBytes "},
        {{}, L""},
    };
    for (const Case& c : cases) {
        std::vector<LOGICALDISK> disks = c.disks;
        disks.resize(LOGICALDISK::kMaxDisks);
        EXPECT_STREQ(DiskListText(disks.data()).c_str(), c.expected);
    }
}

TEST(HomeTexts, DiskListStopsAfterTheTenthEntry)
{
    // Eleven filled entries in a row, as if the array had no end marker: the eleventh lies
    // beyond the library's array and must never be read.
    LOGICALDISK disks[LOGICALDISK::kMaxDisks + 1] = {};
    for (int i = 0; i <= LOGICALDISK::kMaxDisks; ++i) {
        const wchar_t drive[3] = {static_cast<wchar_t>(L'C' + i), L':', 0};
        disks[i] = Disk(drive, 1e9);
    }
    const std::wstring text = DiskListText(disks).c_str();
    EXPECT_NE(text.find(L"(L:)"), std::wstring::npos) << text; // the tenth
    EXPECT_EQ(text.find(L"(M:)"), std::wstring::npos) << text; // the eleventh
}

TEST(HomeTexts, MemoryIsShownInPowersOf1024OrExplainedWhenUnknown)
{
    struct Case {
        double total;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {2147483648.0, L"2.00 GBytes"},
        {536870912.0, L"512.00 MBytes"},
        {1073741824.0, L"1.00 GBytes"},
        {3221225472.0, L"3.00 GBytes"},
        // Just below a gibibyte the unit stays MBytes, even where the digits round up.
        {1073741823.0, L"1024.00 MBytes"},
        {0.0, L"Due to a system problem, the memory capacity cannot be displayed."},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(MemoryText(c.total, kEnglish).c_str(), c.expected) << c.total;
}

TEST(HomeTexts, PlaceholderPurchaseDateReadsUnknown)
{
    struct Case {
        const wchar_t* stored;
        const wchar_t* expected;
    };
    const Case cases[] = {
        {L"20YY", L"Unknown"},
        {L"20YY/MM/DD", L"Unknown"},
        {L"Date: 20YY.01", L"Unknown"},
        {L"2010/03/15", L"2010/03/15"},
        {L"20yy", L"20yy"}, // the maker's placeholder is upper case only
        {L"", L""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(PurchaseDateText(c.stored, kEnglish).c_str(), c.expected) << c.stored;
}

TEST(HomeTexts, MissingAdapterOrDriveReadsNothing)
{
    EXPECT_STREQ(TextOrNothing(L"", kEnglish).c_str(), kNothing);
    EXPECT_STREQ(TextOrNothing(nullptr, kEnglish).c_str(), kNothing);
    EXPECT_STREQ(TextOrNothing(L"Vantrel DVD-RW", kEnglish).c_str(), L"Vantrel DVD-RW");
}

TEST(HomeTexts, ModelClassSeparatesNAndDmuModelsFromTheRest)
{
    struct Case {
        const wchar_t* name;
        int modelClass;
    };
    const Case cases[] = {
        {L"N150", 0}, {L"np300e5", 0}, {L"DMU12", 0}, {L"dmu", 0}, {L"dMu", 0},
        {L"", 0}, // unreadable: the wireless sections stay
        {L"R580", 1}, {L"DM1", 1},     {L"MDU", 1},   {L"D", 1},   {L"Xn", 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(ModelClassOf(c.name), c.modelClass) << c.name;
    EXPECT_EQ(ModelClassOf(nullptr), 0);
}

// ---- drivers -------------------------------------------------------------------------------

TEST(HomeDrivers, EmptyFieldsReadNothingOthersStay)
{
    DRIVERINFO record = Driver(L"", L"Vantrel", L"");
    FillMissingFields(record, kNothing);
    ExpectDriver(record, kNothing, L"Vantrel", kNothing, 0);
    FillMissingFields(record, L"other");
    ExpectDriver(record, kNothing, L"Vantrel", kNothing, 1);
}

TEST(HomeDrivers, SoundListIsCopiedInOrderWithEmptyFieldsFilled)
{
    DriverInfoList list;
    list.AddTail(Driver(L"High Definition Audio", L"Realtone", L"6.0.1.5"));
    list.AddTail(Driver(L"USB Headset", L"", L""));
    list.AddTail(Driver(L"", L"Acme", L" ")); // a version of one space is not empty
    DRIVERINFO copies[kMaxSoundDrivers] = {};
    ASSERT_EQ(CopySoundDrivers(&list, copies, kNothing), 3);
    ExpectDriver(copies[0], L"High Definition Audio", L"Realtone", L"6.0.1.5", 0);
    ExpectDriver(copies[1], L"USB Headset", kNothing, kNothing, 1);
    ExpectDriver(copies[2], kNothing, L"Acme", L" ", 2);
    // The library's own records read the same.
    ExpectDriver(list.GetTail(), kNothing, L"Acme", L" ", 3);
    ExpectDriver(copies[3], L"", L"", L"", 4); // nothing beyond the list
}

TEST(HomeDrivers, NoSoundDriverStillGivesOneRowOfNothing)
{
    DriverInfoList empty;
    DriverInfoList* const lists[] = {&empty, nullptr};
    for (DriverInfoList* list : lists) {
        DRIVERINFO copies[kMaxSoundDrivers];
        copies[0] = Driver(L"stale", L"stale", L"stale");
        EXPECT_EQ(CopySoundDrivers(list, copies, kNothing), 0);
        ExpectDriver(copies[0], kNothing, kNothing, kNothing, list != nullptr);
    }
}

TEST(HomeDrivers, OnlyTheFirstTenSoundDriversAreKept)
{
    DriverInfoList list;
    for (int i = 0; i < 12; ++i)
        list.AddTail(Driver(std::to_wstring(i).c_str(), L"m", L"v"));
    DRIVERINFO copies[kMaxSoundDrivers] = {};
    ASSERT_EQ(CopySoundDrivers(&list, copies, kNothing), kMaxSoundDrivers);
    for (int i = 0; i < kMaxSoundDrivers; ++i)
        EXPECT_STREQ(copies[i].description, std::to_wstring(i).c_str());
}

// ---- the sheet -----------------------------------------------------------------------------

TEST(HomeSheet, HeightFollowsSoundDriversAndModelClass)
{
    struct Case {
        int soundDrivers;
        int modelClass;
        int sheet;  // the sheet's own height
        int canvas; // the canvas it is drawn on
    };
    const Case cases[] = {
        {1, 0, 390, 580}, {3, 0, 462, 580}, // three drivers: 108 more
        {1, 1, 270, 480}, {3, 1, 342, 480}, {0, 1, 234, 480}, {0, 0, 354, 580},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(SheetHeight(c.soundDrivers, c.modelClass), c.sheet)
            << c.soundDrivers << " class " << c.modelClass;
        EXPECT_EQ(CanvasHeightFor(c.soundDrivers, c.modelClass), c.canvas)
            << c.soundDrivers << " class " << c.modelClass;
    }
    EXPECT_EQ(BaseCanvasHeight(0), 580);
    EXPECT_EQ(BaseCanvasHeight(1), 480);
    // Ten sound drivers outgrow either canvas: the canvas follows.
    for (int modelClass : {0, 1}) {
        EXPECT_GT(CanvasHeightFor(10, modelClass), BaseCanvasHeight(modelClass));
        EXPECT_GE(CanvasHeightFor(10, modelClass), SheetHeight(10, modelClass));
    }
}

namespace {

// A 32-bit canvas of the sheet's width in memory, and the page's text font.
class SheetCanvas {
  public:
    explicit SheetCanvas(int height) : height_(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof(info.bmiHeader);
        info.bmiHeader.biWidth = kSheetCanvasWidth;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_.reset(CreateDIBSection(dc_, &info, DIB_RGB_COLORS, nullptr, nullptr, 0));
        previous_ = SelectObject(dc_, bitmap_.get());
        const RECT all = {0, 0, kSheetCanvasWidth, height};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        font_.reset(CreateFontW(13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                VARIABLE_PITCH | FF_SWISS, L"Tahoma"));
    }
    ~SheetCanvas()
    {
        SelectObject(dc_, previous_);
        DeleteDC(dc_);
    }
    SheetCanvas(const SheetCanvas&) = delete;
    SheetCanvas& operator=(const SheetCanvas&) = delete;

    HDC dc() const { return dc_; }
    HFONT font() const { return font_.get(); }
    COLORREF At(int x, int y) const { return GetPixel(dc_, x, y); }

    // The lowest line holding anything but the sheet's grey, -1 when there is none.
    int LowestDrawnLine() const
    {
        for (int y = height_ - 1; y >= 0; --y)
            for (int x = 0; x < kSheetCanvasWidth; ++x)
                if (At(x, y) != RGB(244, 244, 244))
                    return y;
        return -1;
    }

  private:
    int height_;
    HDC dc_ = nullptr;
    fw::UniqueBitmap bitmap_;
    HGDIOBJ previous_ = nullptr;
    fw::UniqueFont font_;
};

// Content with every field filled, so every row draws text.
struct FullContent {
    explicit FullContent(int soundDrivers, int modelClass)
    {
        for (int i = 0; i < kMaxSoundDrivers; ++i)
            sound[i] = Driver(L"Sound device", L"Maker", L"1.0");
        content.purchaseDate = L"2010/03/15";
        content.processor = L"Processor";
        content.bios = L"Vantrel, 0A12";
        content.serialNumber = L"SN0001";
        content.memory = L"2.00 GBytes";
        content.disks = L"(C:) 500.11 GBytes ";
        content.opticalDrive = L"Nothing";
        content.operatingSystem = L"Windows 7";
        content.graphics = L"Adapter";
        content.video = &driver;
        content.sound = sound;
        content.soundCount = soundDrivers;
        content.network = &driver;
        content.wireless = &driver;
        content.bluetooth = &driver;
        content.modelClass = modelClass;
    }
    DRIVERINFO driver = Driver(L"Device", L"Maker", L"1.0");
    DRIVERINFO sound[kMaxSoundDrivers];
    SheetContent content;
};

} // namespace

TEST(HomeSheet, EverythingDrawnFitsTheCanvas)
{
    // Drawn onto a canvas with room to spare below, nothing may land below the height the
    // page gives its canvas, and the bottom the sheet reports covers all it drew.
    struct Case {
        int soundDrivers;
        int modelClass;
    };
    const Case cases[] = {{0, 0}, {1, 0}, {3, 0}, {6, 0}, {10, 0},
                          {0, 1}, {1, 1}, {3, 1}, {6, 1}, {10, 1}};
    for (const Case& c : cases) {
        const int canvas = CanvasHeightFor(c.soundDrivers, c.modelClass);
        SheetCanvas spare(canvas + 200);
        FullContent full(c.soundDrivers, c.modelClass);
        const int bottom =
            DrawSheet(spare.dc(), canvas + 200, full.content, kEnglish, spare.font());
        const int lowest = spare.LowestDrawnLine();
        EXPECT_GT(lowest, 0);
        EXPECT_LT(lowest, canvas) << c.soundDrivers << " class " << c.modelClass;
        EXPECT_LE(lowest, bottom) << c.soundDrivers << " class " << c.modelClass;
        EXPECT_EQ(DrawSheet(nullptr, 0, full.content, kEnglish, nullptr), bottom);
    }
}

TEST(HomeSheet, BandsSitWhereTheSectionsBegin)
{
    // The band grey at the right end of each section's heading line (clear of any text); the
    // wireless LAN and Bluetooth bands only for model class 0.
    struct Case {
        int soundDrivers;
        int modelClass;
        std::vector<int> bandTops;
    };
    const Case cases[] = {
        {1, 0, {5, 29, 136, 195, 254, 313, 372}},
        {3, 0, {5, 29, 136, 195, 328, 387, 446}}, // two more driver groups of 37
        {1, 1, {5, 29, 136, 195, 254}},
        {0, 1, {5, 29, 136, 195, 254}}, // the "Nothing" row still takes its place
    };
    const COLORREF band = RGB(225, 225, 225);
    for (const Case& c : cases) {
        const int height = CanvasHeightFor(c.soundDrivers, c.modelClass);
        SheetCanvas canvas(height);
        FullContent full(c.soundDrivers, c.modelClass);
        DrawSheet(canvas.dc(), height, full.content, kEnglish, canvas.font());
        int bands = 0;
        for (int y = 0; y < height; ++y) {
            // A band's line starts where the grey begins after a stretch without it.
            if (canvas.At(440, y) == band && (y == 0 || canvas.At(440, y - 1) != band)) {
                ASSERT_LT(bands, static_cast<int>(c.bandTops.size()))
                    << "extra band at " << y << ", class " << c.modelClass;
                EXPECT_EQ(y, c.bandTops[bands]) << "band " << bands << ", class " << c.modelClass;
                ++bands;
            }
        }
        EXPECT_EQ(bands, static_cast<int>(c.bandTops.size())) << "class " << c.modelClass;
    }
}

TEST(HomeSheet, GroundCoversTheWholeCanvasAtStart)
{
    // What the page draws when it makes the canvas: grey everywhere but the date band.
    SheetCanvas canvas(580);
    FullContent full(0, 0);
    DrawSheetGround(canvas.dc(), 580, full.content, kEnglish, canvas.font());
    EXPECT_EQ(canvas.At(440, 10), RGB(225, 225, 225));
    EXPECT_EQ(canvas.At(440, 579), RGB(244, 244, 244));
    EXPECT_EQ(canvas.At(454, 300), RGB(244, 244, 244));
    EXPECT_EQ(canvas.LowestDrawnLine(), 18); // the date band's last line
}
