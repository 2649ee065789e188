#include "pages/SystemSummary.h"

#include "framework/Gdi.h"
#include "shell/MessageText.h"
#include "shell/controls/Drawing.h"

#include <cwchar>

namespace home {

namespace {

constexpr DWORD kMsgPurchaseDate = 0x2000271F;
constexpr DWORD kMsgBasicInfo = 0x20002720;
constexpr DWORD kMsgGraphicsDrivers = 0x20002721;
constexpr DWORD kMsgSoundDrivers = 0x20002722;
constexpr DWORD kMsgNetworkDrivers = 0x20002723;
constexpr DWORD kMsgWirelessDrivers = 0x20002724;
constexpr DWORD kMsgBluetoothDrivers = 0x20002725;
constexpr DWORD kMsgDescription = 0x20002726;
constexpr DWORD kMsgManufacturer = 0x20002727;
constexpr DWORD kMsgVersion = 0x20002728;

constexpr COLORREF kGround = RGB(244, 244, 244);
constexpr COLORREF kBand = RGB(225, 225, 225);
constexpr COLORREF kLabel = RGB(138, 138, 138);
constexpr COLORREF kValue = RGB(79, 79, 79);

constexpr RECT kFirstLine = {5, 5, 448, 19};
constexpr int kValueX = 135;
constexpr int kBandDown = 22;
constexpr int kFirstRowDown = 13;
constexpr int kRowDown = 12;

constexpr double kGigaByte = 1000.0 * 1000.0 * 1000.0;
constexpr double kMegaByte = 1000.0 * 1000.0;
constexpr double kOneGibibyte = 1073741824.0;

bool StartsWith(const wchar_t* text, wchar_t upper)
{
    return text[0] == upper || text[0] == upper + (L'a' - L'A');
}

void CopyField(wchar_t* field, size_t capacity, const wchar_t* text)
{
    lstrcpynW(field, text, static_cast<int>(capacity));
}

// Walks the sheet line by line from the top. Bands and rows share one line rectangle that
// each step moves down; with a null context it only moves, which gives the content's height.
class SheetWriter {
  public:
    SheetWriter(HDC dc, LANGID language) : dc_(dc), language_(language) {}

    void Band(int down, DWORD heading)
    {
        Move(down);
        if (!dc_)
            return;
        DrawBox(dc_, kBand, kBand, line_.left, line_.top, line_.right, line_.bottom);
        Text(line_.left + 5, line_.top + 1, LoadMessageText(language_, heading).c_str(), kLabel);
    }
    // A value on the band's own line, as the purchase date has.
    void BandValue(const wchar_t* value) { Text(kValueX, line_.top + 1, value, kValue); }

    void Row(int down, const wchar_t* label, const wchar_t* value)
    {
        Move(down);
        Text(line_.left + 5, line_.top + 2, label, kLabel);
        Text(kValueX, line_.top + 2, value, kValue);
    }
    void Row(int down, DWORD label, const wchar_t* value)
    {
        Move(down);
        if (!dc_)
            return;
        Text(line_.left + 5, line_.top + 2, LoadMessageText(language_, label).c_str(), kLabel);
        Text(kValueX, line_.top + 2, value, kValue);
    }

    // The three rows of one driver; a missing record leaves its values empty.
    void DriverRows(const wchar_t* description, const DRIVERINFO* record)
    {
        Row(kFirstRowDown, kMsgDescription, description);
        Row(kRowDown, kMsgManufacturer, record ? record->manufacturer : L"");
        Row(kRowDown, kMsgVersion, record ? record->version : L"");
    }
    void DriverRows(const DRIVERINFO* record)
    {
        DriverRows(record ? record->description : L"", record);
    }

    int Bottom() const { return line_.bottom; }

  private:
    void Move(int down)
    {
        line_.top += down;
        line_.bottom += down;
    }

    // Single line from x, cut with an ellipsis at the line's right end: a long processor or
    // disk list must not run off the sheet in mid-letter.
    void Text(int x, int y, const wchar_t* text, COLORREF colour) const
    {
        if (!dc_)
            return;
        SetTextColor(dc_, colour);
        RECT place = {x, y, line_.right, y + line_.bottom - line_.top + 2};
        DrawTextW(dc_, text, -1, &place,
                  DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }

    HDC dc_;
    LANGID language_;
    RECT line_ = kFirstLine;
};

} // namespace

int ModelClassOf(const wchar_t* modelName)
{
    if (!modelName || !modelName[0])
        return 0;
    if (StartsWith(modelName, L'N'))
        return 0;
    if (StartsWith(modelName, L'D') && StartsWith(modelName + 1, L'M') &&
        StartsWith(modelName + 2, L'U'))
        return 0;
    return 1;
}

fw::CSharedString DiskListText(const LOGICALDISK* disks)
{
    fw::CSharedString all;
    if (!disks)
        return all;
    for (int i = 0; i < LOGICALDISK::kMaxDisks && disks[i].driveName[0]; ++i) {
        // The record's three characters need not end in a terminator.
        wchar_t drive[4] = {};
        wmemcpy(drive, disks[i].driveName, 3);
        const double size = disks[i].size;
        fw::CSharedString entry;
        if (size >= kGigaByte)
            entry.Format(L"(%s) %.2f GBytes ", drive, size / kGigaByte);
        else
            entry.Format(L"(%s) %.2f MBytes ", drive, size / kMegaByte);
        all += entry;
    }
    return all;
}

fw::CSharedString MemoryText(double totalBytes, LANGID language)
{
    if (totalBytes == 0)
        return LoadMessageText(language, kMsgNoMemory);
    // Single precision, as the capacity has always been shown: two decimals never tell.
    const float megabytes = static_cast<float>(totalBytes / 1024 / 1024);
    fw::CSharedString text;
    if (totalBytes < kOneGibibyte)
        text.Format(L"%.2f MBytes", static_cast<double>(megabytes));
    else
        text.Format(L"%.2f GBytes", static_cast<double>(megabytes / 1024));
    return text;
}

fw::CSharedString PurchaseDateText(const wchar_t* userDate, LANGID language)
{
    if (userDate && wcsstr(userDate, L"20YY"))
        return LoadMessageText(language, kMsgUnknown);
    return fw::CSharedString(userDate ? userDate : L"");
}

fw::CSharedString TextOrNothing(const wchar_t* text, LANGID language)
{
    if (!text || !text[0])
        return LoadMessageText(language, kMsgNothing);
    return fw::CSharedString(text);
}

void FillMissingFields(DRIVERINFO& record, const wchar_t* nothing)
{
    if (!record.description[0])
        CopyField(record.description, ARRAYSIZE(record.description), nothing);
    if (!record.manufacturer[0])
        CopyField(record.manufacturer, ARRAYSIZE(record.manufacturer), nothing);
    if (!record.version[0])
        CopyField(record.version, ARRAYSIZE(record.version), nothing);
}

int CopySoundDrivers(DriverInfoList* list, DRIVERINFO (&copies)[kMaxSoundDrivers],
                     const wchar_t* nothing)
{
    int count = 0;
    if (list) {
        for (DRIVERINFO& entry : *list) {
            FillMissingFields(entry, nothing);
            if (count < kMaxSoundDrivers)
                copies[count++] = entry;
        }
    }
    if (count == 0) {
        copies[0] = DRIVERINFO{};
        FillMissingFields(copies[0], nothing);
    }
    return count;
}

int SheetHeight(int soundDrivers, int modelClass)
{
    return 36 * soundDrivers + 234 + (modelClass == 0 ? 120 : 0);
}

int BaseCanvasHeight(int modelClass)
{
    return modelClass == 0 ? 580 : 480;
}

int CanvasHeightFor(int soundDrivers, int modelClass)
{
    SheetContent shape;
    shape.soundCount = soundDrivers;
    shape.modelClass = modelClass;
    // The content keeps the same margin below as above its first band.
    const int content = DrawSheet(nullptr, 0, shape, 0, nullptr) + kFirstLine.top;
    int height = BaseCanvasHeight(modelClass);
    if (SheetHeight(soundDrivers, modelClass) > height)
        height = SheetHeight(soundDrivers, modelClass);
    return content > height ? content : height;
}

void DrawSheetGround(HDC dc, int height, const SheetContent& content, LANGID language, HFONT font)
{
    if (!dc)
        return;
    DrawBox(dc, kGround, kGround, 0, 0, kSheetCanvasWidth, height);
    fw::SelectGuard selectFont(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SheetWriter sheet(dc, language);
    sheet.Band(0, kMsgPurchaseDate);
    sheet.BandValue(content.purchaseDate);
}

int DrawSheet(HDC dc, int height, const SheetContent& content, LANGID language, HFONT font)
{
    DrawSheetGround(dc, height, content, language, font);
    fw::SelectGuard selectFont(dc, font);
    if (dc)
        SetBkMode(dc, TRANSPARENT);
    SheetWriter sheet(dc, language);

    sheet.Band(24, kMsgBasicInfo);
    const struct {
        const wchar_t* label;
        const wchar_t* value;
    } basics[] = {
        {L"CPU", content.processor},      {L"BIOS", content.bios}, {L"S/N", content.serialNumber},
        {L"MEMORY", content.memory},      {L"HDD", content.disks}, {L"ODD", content.opticalDrive},
        {L"OS", content.operatingSystem},
    };
    int down = kFirstRowDown;
    for (const auto& row : basics) {
        sheet.Row(down, row.label, row.value);
        down = kRowDown;
    }

    sheet.Band(kBandDown, kMsgGraphicsDrivers);
    sheet.DriverRows(content.graphics, content.video);

    sheet.Band(kBandDown, kMsgSoundDrivers);
    const int soundRows = content.soundCount > 1 ? content.soundCount : 1;
    for (int i = 0; i < soundRows; ++i)
        sheet.DriverRows(content.sound ? &content.sound[i] : nullptr);

    sheet.Band(kBandDown, kMsgNetworkDrivers);
    sheet.DriverRows(content.network);

    if (content.modelClass == 0) {
        sheet.Band(kBandDown, kMsgWirelessDrivers);
        sheet.DriverRows(content.wireless);
        sheet.Band(kBandDown, kMsgBluetoothDrivers);
        sheet.DriverRows(content.bluetooth);
    }
    return sheet.Bottom();
}

} // namespace home
