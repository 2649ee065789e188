// The program's message table, read the way HLMMain reads it (FormatMessageW from the module
// with an explicit language and the flags 0x8FF, then spaces trimmed), from HLMMessages.dll, which
// is built from the same resource script as the program.
#include "framework/Handles.h"
#include "tests/messages/MessageSources.h"
#include "tests/support/TestSupport.h"

#include <windows.h>

#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

namespace {

constexpr DWORD kFirstId = 0x20002710;
constexpr DWORD kLastId = 0x200029A3;
constexpr LANGID kEnglish = 0x0409;

constexpr LANGID kLanguages[] = {0x0401, 0x0402, 0x0404, 0x0405, 0x0406, 0x0407, 0x0408, 0x0409,
                                 0x040A, 0x040B, 0x040C, 0x040E, 0x0410, 0x0412, 0x0413, 0x0414,
                                 0x0415, 0x0416, 0x0418, 0x0419, 0x041A, 0x041B, 0x041D, 0x041E,
                                 0x041F, 0x0422, 0x0424, 0x0804, 0x0816, 0x081A};

// The program's flags, 0x8FF: from its own module, soft line breaks turned into spaces and hard
// ones kept (maximum width 0xFF). No argument list goes with them; no message takes inserts.
constexpr DWORD kLookupFlags = FORMAT_MESSAGE_FROM_HMODULE | FORMAT_MESSAGE_MAX_WIDTH_MASK;
static_assert(kLookupFlags == 0x8FF, "the program's lookup flags");

// The program's buffer, terminator included: longer texts come out empty there.
constexpr size_t kProgramBufferUnits = 260;

std::string Hex(DWORD value)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08lX", static_cast<unsigned long>(value));
    return text;
}

// Enumeration callbacks (stdcall in the 32-bit build, so no lambdas).
BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR names)
{
    reinterpret_cast<std::vector<ULONG_PTR>*>(names)->push_back(reinterpret_cast<ULONG_PTR>(name));
    return TRUE;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR languages)
{
    reinterpret_cast<std::set<LANGID>*>(languages)->insert(language);
    return TRUE;
}

using msgsrc::Lookup;

// One entry as the message compiler stored it.
struct StoredEntry {
    DWORD id = 0;
    WORD flags = 0;
    std::wstring text; // up to the first terminator
};

class MessageTable : public ::testing::Test {
  protected:
    static void SetUpTestSuite()
    {
        const std::wstring path = hlmtest::BinDir() + L"\\HLMMessages.dll";
        module_.reset(LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    }

    static void TearDownTestSuite() { module_.reset(); }

    void SetUp() override { ASSERT_TRUE(module_) << "HLMMessages.dll did not load"; }

    static Lookup Read(DWORD id, LANGID language)
    {
        return msgsrc::LookUp(module_.get(), id, language);
    }

    // The language block's entries, straight from the resource data.
    static std::vector<StoredEntry> ReadStored(LANGID language)
    {
        std::vector<StoredEntry> entries;
        HRSRC found =
            FindResourceExW(module_.get(), RT_MESSAGETABLE, MAKEINTRESOURCEW(1), language);
        if (found == nullptr)
            return entries;
        const auto* data =
            static_cast<const BYTE*>(LockResource(LoadResource(module_.get(), found)));
        const DWORD size = SizeofResource(module_.get(), found);
        if (data == nullptr || size < sizeof(DWORD))
            return entries;
        const auto* table = reinterpret_cast<const MESSAGE_RESOURCE_DATA*>(data);
        for (DWORD b = 0; b < table->NumberOfBlocks; ++b) {
            const MESSAGE_RESOURCE_BLOCK& block = table->Blocks[b];
            DWORD offset = block.OffsetToEntries;
            for (DWORD id = block.LowId; id <= block.HighId; ++id) {
                if (offset + sizeof(MESSAGE_RESOURCE_ENTRY) > size)
                    return entries;
                const auto* entry = reinterpret_cast<const MESSAGE_RESOURCE_ENTRY*>(data + offset);
                if (entry->Length < sizeof(MESSAGE_RESOURCE_ENTRY) || offset + entry->Length > size)
                    return entries;
                const auto* text = reinterpret_cast<const wchar_t*>(entry->Text);
                const size_t units =
                    (entry->Length - offsetof(MESSAGE_RESOURCE_ENTRY, Text)) / sizeof(wchar_t);
                StoredEntry stored;
                stored.id = id;
                stored.flags = entry->Flags;
                stored.text.assign(text, wcsnlen(text, units));
                entries.push_back(stored);
                offset += entry->Length;
            }
        }
        return entries;
    }

    static fw::UniqueModule module_;
};

fw::UniqueModule MessageTable::module_;

TEST_F(MessageTable, HoldsOneTableWithAllThirtyLanguageBlocks)
{
    std::vector<ULONG_PTR> names;
    EnumResourceNamesW(module_.get(), RT_MESSAGETABLE, CollectName,
                       reinterpret_cast<LONG_PTR>(&names));
    EXPECT_EQ(std::vector<ULONG_PTR>{1}, names) << "one message table, named 1";

    std::set<LANGID> present;
    EnumResourceLanguagesW(module_.get(), RT_MESSAGETABLE, MAKEINTRESOURCEW(1), CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&present));
    EXPECT_EQ(std::set<LANGID>(std::begin(kLanguages), std::end(kLanguages)), present);

    for (LANGID language : kLanguages) {
        const Lookup first = Read(kFirstId, language);
        EXPECT_EQ(0u, first.error) << "language " << Hex(language);
        EXPECT_FALSE(first.text.empty()) << "language " << Hex(language);
    }
}

TEST_F(MessageTable, MissingMessageOrLanguageFailsWithoutFallBack)
{
    struct Case {
        DWORD id;
        LANGID language;
        DWORD error;
    };
    const Case cases[] = {
        {kLastId + 1, kEnglish, ERROR_MR_MID_NOT_FOUND},
        {kFirstId - 1, kEnglish, ERROR_MR_MID_NOT_FOUND},
        {kLastId + 1, 0x0412, ERROR_MR_MID_NOT_FOUND},
        // Languages the table lacks, although a neighbour of theirs is there.
        {kFirstId, 0x0411, ERROR_RESOURCE_LANG_NOT_FOUND}, // Japanese
        {kFirstId, 0x0809, ERROR_RESOURCE_LANG_NOT_FOUND}, // English, United Kingdom
        {kFirstId, 0x0C04, ERROR_RESOURCE_LANG_NOT_FOUND}, // Chinese, Hong Kong
        {kFirstId, 0x0C1A, ERROR_RESOURCE_LANG_NOT_FOUND}, // Serbian, Cyrillic
    };
    static_assert(ERROR_MR_MID_NOT_FOUND == 317 && ERROR_RESOURCE_LANG_NOT_FOUND == 1815, "");
    for (const Case& c : cases) {
        const Lookup lookup = Read(c.id, c.language);
        EXPECT_EQ(c.error, lookup.error) << Hex(c.id) << " in " << Hex(c.language);
        EXPECT_TRUE(lookup.text.empty()) << Hex(c.id) << " in " << Hex(c.language);
    }
}

TEST_F(MessageTable, EnglishTextsAreTheOnesThePagesShow)
{
    struct Case {
        DWORD id;
        const wchar_t* text;
    };
    const Case cases[] = {
        {0x20002710, L"Troubleshooting"},
        {0x20002711, L"System Utilities"},
        {0x20002712, L"Netaide"},
        {0x20002713, L"Vantrel Update"},
        {0x20002714, L"System Restore and Backup"},
        {0x20002717, L"This program has been changed, moved or uninstalled."},
        {0x20002719, L"Troubleshooting"},
        {0x2000271A, L"System Utilities"},
        {0x2000271B, L"System Information"},
        {0x2000271C, L"Helmora is a central location for managing your Vantrel system smoothly."},
        {0x2000271D,
         L"Helmora provides solutions to problems that may occur while using the computer. A "
         L"System Diagnosis function is provided to diagnose system problems."},
        {0x2000271E, L"Helmora provides various utilities that help you to use the computer safely "
                     L"and conveniently."},
        {0x2000271F, L"Date of Purchase"},
        {0x20002720, L"Basic information about your computer"},
        {0x20002721, L"Graphics Driver Information"},
        {0x20002722, L"Sound Driver Information"},
        {0x20002723, L"Network Driver Information"},
        {0x20002724, L"Wireless LAN Driver Information"},
        {0x20002725, L"Bluetooth Driver Information"},
        {0x20002726, L"Driver Description"},
        {0x20002727, L"Manufacturer"},
        {0x20002728, L"Version"},
        {0x20002729, L"Nothing"},
        {0x2000272A, L"Unknown"},
        {0x2000272B, L"Due to a system problem, the memory capacity cannot be displayed."},
        {0x2000272C, L"Helmora should be run as an administrator."},
        {0x2000272D, L"Troubleshooting"},
        {0x2000272E, L"Do you have a problem with your computer?\r"},
        {0x2000272F, L"You can check frequently occurring problems using Self Diagnosis.\rIf you "
                     L"cannot find out the solution, please run System Diagnosis. It helps you can "
                     L"find out system problem."},
        {0x20002730, L"Clicking on an item will show detailed information."},
        {0x20002731, L"Diagnose the system to check problems."},
        {0x20002732, L"Select an item to be diagnosed and click the [Start] button."},
        {0x20002733, L"To diagnose the hardware using the Windows system utilities, click the "
                     L"corresponding item button."},
        {0x20002734, L"Diagnosis Complete - found problem."},
        {0x20002735, L"Please check Helmora guide to fix your system problem."},
        {0x20002736, L"Diagnosis Complete- No Action required."},
        {0x20002737, L"If a system problem has not been resolved, please connect to the [Netaide] "
                     L"system.\rAlternatively, you can restore your system through the [System "
                     L"Restore and Backup] menu."},
        {0x20002738, L"If a system problem has not been resolved, \ryou can restore your system "
                     L"through the [System Restore and Backup] menu."},
        {0x20002739, L"No items selected."},
        {0x2000273A, L"Display Test"},
        {0x2000273B, L"Sound Test"},
        {0x2000273C, L"Network Test"},
        {0x2000273D, L"System Diagnosis"},
        {0x2000273E, L"Driver Test"},
        {0x2000273F, L"Device Status Diagnosis"},
        {0x20002740, L"Desktop Windows Manager Test"},
        {0x20002741, L"Screen Resolution Check"},
        {0x20002742, L"Color Quality Test"},
        {0x20002743, L"3D Test"},
        {0x2000275B, L"Self-System Checkup"},
        {0x2000275C, L"System Diagnosis"},
        {0x2000275D, L"Start"},
        {0x2000275E, L"Check Disk"},
        {0x2000275F, L"Windows Memory\rDiagnostic Tool"},
        {0x20002760, L"The User Account control window pops up repeatedly."},
        {0x20002761, L"I want to change the system shutdown method."},
        {0x20002762, L"What are Sleep and Hibernate modes?"},
        {0x20002763, L"I cannot access the Internet."},
        {0x20002764, L"I want to restore my computer's system files to an earlier point in time."},
        {0x20002765, L"I want to recover Windows from a serious error."},
        {0x20002766,
         L"I want to set the screen resolution to the optimal value for a mini notebook."},
        {0x20002767, L"If I use the notebook computer on AC power for a long time,\rdoes the "
                     L"battery lifetime decrease?"},
        {0x20002768, L"What is the phone number of the service center?"},
        {0x20002769, L"There is a printing problem."},
        {0x2000276A, L"Windows Easy Transfer"},
        {0x2000276B, L"Disk Defragmentation"},
        {0x2000276C, L"Delete temporary Internet files"},
        {0x2000276D, L"McAfee Security Center"},
        {0x2000276E, L"Resolvo"},
        {0x2000276F, L"Netvo"},
        {0x20002770, L"Cellavon"},
        {0x20002771, L"System Utilities"},
        {0x20002772, L"Provides utilities to manage the system."},
        {0x20002773, L"Transfers files and settings from\rone computer to another."},
        {0x20002774, L"Collects fragments on the disk to\rimprove performance."},
        {0x20002775, L"Delete files and information saved\r by Internet Explorer."},
        {0x20002776, L"Protects your PC from malicious\rsoftware."},
        {0x20002777, L"Enables using the 1024x768\rresolution easily."},
        {0x20002778, L"Enables changing the network\rsettings with just one click."},
        {0x20002779, L"Cellavon extends \ryour battery life."},
        {0x2000277A, L"Vantrel Printavo"},
        {0x2000277B,
         L"This program automatically diagnoses and resolves problems with Vantrel printers."},
        {0x2000277C, L"Connect"},
        {0x2000277D, L"Netaide"},
        {0x2000277E, L"Vantrel provides technical customer assistance through the Internet."},
        {0x2000277F, L"What is remote desktop management?"},
        {0x20002780, L"You can solve problems by using the Internet Assistance service.\rThe "
                     L"Internet Assistance Service provides a web chat function. However, if you "
                     L"are unable to solve your problem, your service assistant can access your "
                     L"computer via the Remote Desktop Service."},
        {0x20002781, L"Remote Desktop Service of Internet Assistance allows the assistance agent "
                     L"to access your computer. The assistance agent can use all of your "
                     L"computer's programs, files and network resources, and it is just as if the "
                     L"agent is sitting in front of your computer."},
        {0x20002782, L"If you require Internet Assistance, click the [Connect] button."},
        {0x20002783, L"Install updates"},
        {0x20002784, L"Install"},
        {0x20002785, L"Connect"},
        {0x20002786, L"Fail to execute Restorix 4. Installation Failed."},
        {0x20002787, L"Vantrel Update"},
        {0x20002788, L"Checks for the latest updates of Vantrel software and device drivers. It "
                     L"provides critical fixes, and improved software for Vantrel Computers."},
        {0x20002789, L"The following updates are waiting for your computer."},
        {0x2000278B, L"To start the update, click the [Install updates] button."},
        {0x2000278C, L"Most recent check for updates:"},
        {0x2000278D, L"Updates were installed:"},
        {0x2000278F, L"Patchwell is not installed."},
        {0x20002790, L"Checks for the latest updates of Vantrel software and device drivers. It "
                     L"provides critical fixes, and improved software for Vantrel Computers."},
        {0x20002791, L"To install now, click the [Install] button."},
        {0x20002792,
         L"The Download Center of the Vantrel Mobile website provides software for your computer. "
         L"Click the [Connect] button if you want to download software."},
        {0x20002793, L"Number of updates"},
        {0x20002794, L"Update file size"},
        {0x20002795, L"There are no available updates."},
        {0x20002796, L"There are no available updates for this computer.\rThe latest drivers and "
                     L"software versions are installed."},
        {0x200027A4, L"System Restore"},
        {0x200027A5, L"Complete PC Restore"},
        {0x200027A6, L"Vantrel\rRestorix"},
        {0x200027A7, L"System Restore and Backup"},
        {0x200027A8,
         L"This menu contains several tools that can help you recover windows\rfrom a serious "
         L"error and help you to back up your files any time or \rconfigure automatic backups."},
        {0x200027A9,
         L"This option helps you restore your computer's system files\rto an earlier point in time "
         L"without affecting your \rpersonal files, such as e-mail, documents, or photos."},
        {0x200027AA, L"I want to restore the computer to the date of purchase."},
        {0x200027AB, L"Restorix"},
        {0x200027AC, L"Restorix provides the following restore and backup functions."},
        {0x200027AD, L"Basic Restore"},
        {0x200027AE, L"Complete Restore"},
        {0x200027AF, L"Data Restore"},
        {0x200027B0, L"Complete Backup"},
        {0x200027B1, L"Data Backup"},
        {0x200027B2, L"If you want to run Restorix, please click the [Restorix] button."},
        {0x200027BA, L"Use"},
        {0x200027BD, L"Do Not Use"},
        {0x200027C2, L"Running Change User Account Control"},
        {0x200027DB, L"Shortcut to the Power Options."},
        {0x200027F8, L"Shortcut to the Power Options"},
        {0x20002810, L"Run McAfee Security Center."},
        {0x20002817, L"Shortcut to the Windows Firewall Setting"},
        {0x20002821, L"Shortcut to System Restore"},
        {0x20002845, L"Shortcut to the Resolvo"},
        {0x2000285A, L"Go to Cellavon"},
        {0x20002874, L"Launch Vantrel Printavo."},
        {0x20002879, L"Shortcut to Vantrel printer diagnostics"},
        {0x2000287B, L"Since contact centers for each country may be added or changed, for the "
                     L"latest information, refer to the Global Contact Center."},
        {0x2000287C, L"Go to the Global Contact Center"},
        {0x200028B9, L"User Account Control(UAC)"},
        {0x200028BA, L"Turn on User Account Control(UAC) to make your computer more secure"},
        {0x200028BB,
         L"The User Account Control(UAC) can help prevent unauthorized changes to your computer. "
         L"We recommend leaving UAC turned on to help protect your computer."},
        {0x200028BC, L"Use User Account Control (UAC) to help protect your computer"},
        {0x200028BD, L"You will need to reboot your computer before the changes take effect."},
        {0x200028BE, L"OK"},
        {0x200028BF, L"Cancel"},
        {0x200028C0, L"Computer Initial Status Restore"},
        {0x200028C1, L"Do you want to continue the Intial Status Restore?"},
        {0x200028C2, L"Restore the entire C drive to the initial or backup status of the computer. "
                     L"All current data on drive C will be removed."},
        {0x200028C3, L"To continue, click the [Run] button."},
        {0x200028C4, L"Run"},
        {0x200028C5, L"Cancel"},
        {0x200028C6, L"Check Disk"},
        {0x200028C7, L"Run Check Disk?"},
        {0x200028C8, L"If you run this function, the computer will be restarted and the hard disk "
                     L"drive will be checked."},
        {0x200028C9, L"This checks the hard disk drive and fixes disk errors to improve the "
                     L"computer performance."},
        {0x200028CA, L"This may take a few to several tens of minutes depending on the capacity of "
                     L"the hard disk drive."},
        {0x200028CB, L"To continue, click the [Run] button."},
        {0x200028CC, L"Run"},
        {0x200028CD, L"Cancel"},
        {0x200028CE, L"Delete Temporary Internet Files"},
        {0x200028CF, L"Do you want to delete Temporary Internet Files?"},
        {0x200028D2, L"If you want to proceed, click the [Run] button."},
        {0x200028D3, L"Run"},
        {0x200028D4, L"Cancel"},
        {0x200028D5, L"Diagnosis your PC\u2026"},
        {0x200028D6, L"Cancel"},
        {0x200028D7, L"Diagnosis in progress\u2026"},
        {0x200028D8, L"Complete"},
        {0x200028D9, L"Cancel"},
        {0x200028DA, L"Do you want to cancel?"},
        {0x200028DB, L"Yes"},
        {0x200028DC, L"No"},
        {0x200028DD, L"Found"},
        {0x200028DE, L"Fixed"},
        {0x200028DF, L"Not Fixed"},
        {0x200028E0, L"The graphics driver is not installed."},
        {0x200028E1, L"The graphics device is disabled."},
        {0x200028E2, L"The graphics device does not work correctly."},
        {0x200028E3, L"The desktop windows manager service is stopped."},
        {0x200028E4, L"The display resolution is lower than the recommended resolution."},
        {0x200028E5, L"The display color quality is lower than the recommended color quality."},
        {0x200028E6, L"3D Test"},
        {0x200028E7, L"The sound device driver is not installed."},
        {0x200028E8, L"The sound device does not work correctly."},
        {0x200028E9, L"The device is disabled."},
        {0x200028EA, L"The Windows Audio service is stopped."},
        {0x200028EB, L"The Windows Audio Endpoint Builder service is stopped."},
        {0x200028EC, L"There is no available sound output device."},
        {0x200028ED, L"The sound is muted."},
        {0x200028EE, L"The sound volume level is lower than the recommended level."},
        {0x200028EF, L"A problem occurred during the music playing test."},
        {0x200028F0, L"The network device driver is not installed."},
        {0x200028F1, L"The network device does not work correctly."},
        {0x200028F2, L"The network device is disabled."},
        {0x200028F3, L"The Wireless LAN is off."},
        {0x200028F4, L"The WLan Service is stopped."},
        {0x200028F5, L"The LAN cable is not connected or cannot detect the wireless LAN signal."},
        {0x200028F6, L"Unable to connect to the Internet."},
        {0x200028F7, L"There is insufficient hard disk drive space."},
        {0x200028F8, L"No anti-virus program installed."},
        {0x200028F9, L"The Firewall is not activated."},
        {0x200028FA, L"The paging file of the Virtual Memory is not a system manageable size."},
        {0x200028FB, L"Windows Automatic Update is not activated."},
        {0x200028FC, L"The size of temporary Internet files is too big."},
        {0x200028FD, L"Speedavo is not installed."},
        {0x200028FE, L"Dispavo is not installed."},
        {0x200028FF, L"Speedavo is not installed."},
        {0x20002900, L"Patchwell is not installed."},
        {0x20002901, L"Vantrel Automatic Update is not activated."},
        {0x20002902, L"The latest updates are available."},
        {0x20002903, L"Install the graphics device driver."},
        {0x20002916, L"Turn on the Wireless LAN using the Wireless LAN button."},
        {0x20002926,
         L"The graphics device driver has been installed by Restorix. Please restart the system."},
        {0x20002939, L"Wireless LAN enabled."},
        {0x2000295C, L"Changing the wireless network mode has failed."},
        {0x2000296C, L"Install"},
        {0x2000296D, L"Fix"},
        {0x2000296E, L"Install"},
        {0x2000296F, L"Fix"},
        {0x20002970, L"Fix"},
        {0x20002971, L"Run"},
        {0x20002972, L"Run"},
        {0x20002973, L"Install"},
        {0x20002974, L"Install"},
        {0x20002975, L"Fix"},
        {0x20002976, L"Fix"},
        {0x20002977, L"Fix"},
        {0x20002978, L"?"},
        {0x20002979, L"Fix"},
        {0x2000297A, L"Fix"},
        {0x2000297B, L"?"},
        {0x2000297C, L"Install"},
        {0x2000297D, L"Install"},
        {0x2000297E, L"Fix"},
        {0x2000297F, L"Fix"},
        {0x20002980, L"Fix"},
        {0x20002981, L"?"},
        {0x20002982, L"IP address setting"},
        {0x20002983, L"Run"},
        {0x20002984, L"Install"},
        {0x20002985, L"Fix"},
        {0x20002986, L"Fix"},
        {0x20002987, L"Fix"},
        {0x20002988, L"Run"},
        {0x20002989, L"Install"},
        {0x2000298A, L"Install"},
        {0x2000298B, L"Install"},
        {0x2000298C, L"Install"},
        {0x2000298D, L"Fix"},
        {0x2000298E, L"Run"},
        {0x2000298F, L"TCP/IP Properties"},
        {0x200029A3, L"User Guide"},
    };
    for (const Case& c : cases) {
        const Lookup lookup = Read(c.id, kEnglish);
        EXPECT_EQ(0u, lookup.error) << Hex(c.id);
        EXPECT_EQ(std::wstring(c.text), lookup.text) << Hex(c.id);
    }
}

// A hard break is one CR, wherever it stands; a soft break (the line end after each entry) is a
// space that trimming removes, so nothing may follow the CR that ends 0x2000272E.
TEST_F(MessageTable, EscapesRenderAsTheCharactersTheyStandFor)
{
    struct Case {
        DWORD id;
        const wchar_t* stored;   // part of the stored text
        const wchar_t* rendered; // the whole text as the program gets it
    };
    const Case cases[] = {
        {0x2000272C, L"administrator%.\r\n", L"Helmora should be run as an administrator."},
        {0x20002911, L"50%%%.\r\n", L"Set the sound volume level to 50%."},
        {0x2000272E, L"computer?%r\r\n", L"Do you have a problem with your computer?\r"},
        {0x20002773, L"from%rone", L"Transfers files and settings from\rone computer to another."},
    };
    std::vector<StoredEntry> stored = ReadStored(kEnglish);
    for (const Case& c : cases) {
        std::wstring storedText;
        for (const StoredEntry& entry : stored)
            if (entry.id == c.id)
                storedText = entry.text;
        EXPECT_NE(std::wstring::npos, storedText.find(c.stored)) << Hex(c.id);
        EXPECT_EQ(std::wstring(c.rendered), Read(c.id, kEnglish).text) << Hex(c.id);
    }
}

TEST_F(MessageTable, EveryEntryIsStoredAsUtf16EndingInASoftBreak)
{
    for (LANGID language : kLanguages) {
        const std::vector<StoredEntry> entries = ReadStored(language);
        EXPECT_FALSE(entries.empty()) << "language " << Hex(language);
        for (const StoredEntry& entry : entries) {
            EXPECT_EQ(MESSAGE_RESOURCE_UNICODE, entry.flags)
                << Hex(entry.id) << " in " << Hex(language);
            const std::wstring& text = entry.text;
            EXPECT_TRUE(text.size() >= 2 && text.compare(text.size() - 2, 2, L"\r\n") == 0)
                << Hex(entry.id) << " in " << Hex(language);
        }
    }
}

// Whatever the language, a text reaches the page without line feeds (a stray one would be a
// soft break the lookup did not fold), without spaces at its ends and never empty.
TEST_F(MessageTable, EveryTextRendersCleanly)
{
    for (LANGID language : kLanguages) {
        int found = 0;
        for (DWORD id = kFirstId; id <= kLastId; ++id) {
            const Lookup lookup = Read(id, language);
            if (lookup.error == ERROR_MR_MID_NOT_FOUND)
                continue;
            ASSERT_EQ(0u, lookup.error) << Hex(id) << " in " << Hex(language);
            ++found;
            const std::wstring& text = lookup.text;
            EXPECT_FALSE(text.empty()) << Hex(id) << " in " << Hex(language);
            EXPECT_EQ(std::wstring::npos, text.find(L'\n')) << Hex(id) << " in " << Hex(language);
            if (!text.empty()) {
                EXPECT_NE(L' ', text.front()) << Hex(id) << " in " << Hex(language);
                EXPECT_NE(L' ', text.back()) << Hex(id) << " in " << Hex(language);
            }
        }
        EXPECT_GT(found, 0) << "language " << Hex(language);
    }
}

TEST_F(MessageTable, EnglishTextsFitTheProgramsBuffer)
{
    for (DWORD id = kFirstId; id <= kLastId; ++id) {
        const Lookup lookup = Read(id, kEnglish);
        EXPECT_LT(lookup.text.size(), kProgramBufferUnits) << Hex(id);
    }
}

TEST_F(MessageTable, OtherScriptsReadBackIntact)
{
    struct Case {
        LANGID language;
        DWORD id;
        const wchar_t* text;
    };
    const Case cases[] = {
        {0x0412, 0x20002710, L"문제 해결"},
        {0x0412, 0x2000272C, L"Helmora는 관리자 권한으로 실행해야 합니다."},
        {0x0419, 0x20002710, L"Устранение неполадок"},
        {0x0419, 0x20002717, L"Эта программа была изменена, перемещена или удалена."},
        {0x0422, 0x20002711, L"Системні утиліти"},
        {0x0408, 0x20002710, L"Αντιμετώπιση προβλημάτων"},
        {0x0804, 0x2000272C, L"Helmora 必须以管理员身份运行。"},
        {0x0404, 0x20002714, L"系統還原與備份"},
        {0x041E, 0x20002710, L"การแก้ไขปัญหา"},
        {0x0401, 0x200029A3, L"دليل المستخدم"},
        {0x041F, 0x2000272C, L"Helmora yönetici olarak çalıştırılmalıdır."},
        {0x0418, 0x2000271B, L"Informații despre sistem"},
        {0x0415, 0x20002710, L"Rozwiązywanie problemów"},
    };
    for (const Case& c : cases) {
        const Lookup lookup = Read(c.id, c.language);
        EXPECT_EQ(0u, lookup.error) << Hex(c.id) << " in " << Hex(c.language);
        EXPECT_EQ(std::wstring(c.text), lookup.text) << Hex(c.id) << " in " << Hex(c.language);
    }
}

TEST_F(MessageTable, MainWindowAndStartUpTextsAreTranslated)
{
    const DWORD translated[] = {0x20002710, 0x20002711, 0x20002714,
                                0x200029A3, 0x2000272C, 0x20002717};
    for (LANGID language : kLanguages) {
        if (language == kEnglish)
            continue;
        for (DWORD id : translated) {
            const Lookup lookup = Read(id, language);
            EXPECT_EQ(0u, lookup.error) << Hex(id) << " in " << Hex(language);
            EXPECT_NE(Read(id, kEnglish).text, lookup.text) << Hex(id) << " in " << Hex(language);
        }
        // Product names stay as they are.
        EXPECT_EQ(L"Netaide", Read(0x20002712, language).text) << Hex(language);
        EXPECT_NE(std::wstring::npos, Read(0x20002713, language).text.find(L"Vantrel"))
            << Hex(language);
        EXPECT_NE(std::wstring::npos, Read(0x2000272C, language).text.find(L"Helmora"))
            << Hex(language);
    }
}

} // namespace
