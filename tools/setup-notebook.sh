#!/usr/bin/env bash
# Prepares the Wine prefix of a build folder as a Vantrel notebook: the program and its
# libraries installed under Program Files with the maker's stand-in libraries beside them,
# the maker's programs (stand-ins) installed and registered as their installers leave them,
# the firmware state the BIOS interface answers from, and the Windows generation to report.
#
#   tools/setup-notebook.sh BUILD_DIR [--windows xp|vista|7] [--model NAME] [--radio 0|1|2]
#                           [--battery-topic 0|1] [--no-manual] [--no-update-tool]
#                           [--update-registration N] [--service NAME=running|stopped|absent]...
#
# --no-manual and --no-update-tool leave the manual viewer or the update tool uninstalled (and
# remove what an earlier run installed); --update-registration sets the update tool's
# "User Registration" value (1, the default: the licence is accepted; 0: the tool asks for it
# when Helmora starts it). --service sets one of the services a diagnosis looks at
# (AudioEndpointBuilder, Audiosrv, UxSms, Wlansvc, WZCSVC, MpfService) to start automatically
# and run, to start automatically but be stopped, or to be absent; it may be given repeatedly.
#
# Needs the environment of tools/wine-env.sh (hlm_wine_init BUILD_DIR) already set.
set -euo pipefail
build=$1; shift
windows=7 model=NP300E5 radio=1 battery=0 manual=1 update_tool=1 registration=1
# The services and their states: a realistic mix, the wireless service stopped.
declare -A services=([AudioEndpointBuilder]=running [Audiosrv]=running [UxSms]=running
                     [Wlansvc]=stopped [WZCSVC]=stopped [MpfService]=absent)
while [ $# -gt 0 ]; do
    case $1 in
        --windows) windows=$2; shift 2 ;;
        --model) model=$2; shift 2 ;;
        --radio) radio=$2; shift 2 ;;
        --battery-topic) battery=$2; shift 2 ;;
        --no-manual) manual=0; shift ;;
        --no-update-tool) update_tool=0; shift ;;
        --update-registration) registration=$2; shift 2 ;;
        --service)
            case ${2#*=} in
                running|stopped|absent) services[${2%%=*}]=${2#*=} ;;
                *) echo "setup-notebook: --service takes NAME=running|stopped|absent" >&2; exit 2 ;;
            esac
            shift 2 ;;
        *) echo "setup-notebook: unknown option $1" >&2; exit 2 ;;
    esac
done
case $windows in
    xp) version=winxp64 ;; vista) version=vista ;; 7) version=win7 ;;
    *) echo "setup-notebook: --windows takes xp, vista or 7" >&2; exit 2 ;;
esac
case $registration in
    ''|*[!0-9]*) echo "setup-notebook: --update-registration takes a number" >&2; exit 2 ;;
esac

reg() { wine reg "$@" >/dev/null 2>&1; }

# Windows generation the notebook reports.
reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d "$version" /f

# Firmware state of the BIOS interface library (read by the PAVI stand-ins on every call).
firmware='HKLM\SOFTWARE\Vantrel\PaviStandIn'
reg add "$firmware" /v ModelName /t REG_SZ /d "$model" /f /reg:64
reg add "$firmware" /v RadioSwitch /t REG_DWORD /d "$radio" /f /reg:64
reg add "$firmware" /v BatteryTopic /t REG_DWORD /d "$battery" /f /reg:64

# The program folder, with the maker's outside libraries, the 3D sample and the sample sound
# beside the program.
program_dir="$WINEPREFIX/drive_c/Program Files/Vantrel/Helmora"
mkdir -p "$program_dir"
for f in HLMMain.exe TavDLL.dll ProbixWin7.dll ProbixVista.dll ProbixXp.dll \
         PAVI2.dll PAVI3.dll Korvex64.dll HLM3dTest.exe Test.Wav; do
    cp -f "$build/bin/$f" "$program_dir/"
done

# The maker's programs. Their installers are 32-bit: on 64-bit Windows they write the 32-bit
# registry view, where the 32-bit release of Helmora reads; the 64-bit build the tests run reads
# the native view. Both views get the same values. (Wine links the 32-bit App Paths to the
# native key, so there the two writes meet in one key; the update tool's key exists twice.)
views='/reg:64 /reg:32'
programs="$WINEPREFIX/drive_c/Program Files/Vantrel"
# A stand-in that is not built is left uninstalled, with a word on stderr.
built() {
    [ -f "$build/standin-apps/$1" ] && return 0
    echo "setup-notebook: $1 is not built (target ${1%.exe}); left uninstalled" >&2
    return 1
}

# The manual viewer, found by Windows through App Paths when Helmora starts it by bare name.
app_path='HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\App Paths\Runmanual.exe'
manual_exe='C:\Program Files\Vantrel\Manuvo\RunManual.exe'
if [ $manual = 1 ] && built RunManual.exe; then
    mkdir -p "$programs/Manuvo"
    cp -f "$build/standin-apps/RunManual.exe" "$programs/Manuvo/"
    for view in $views; do
        reg add "$app_path" /ve /t REG_SZ /d "$manual_exe" /f $view
    done
else
    rm -rf "$programs/Manuvo"
    for view in $views; do reg delete "$app_path" /f $view || true; done
fi

# The update tool's client and its settings key.
update_key='HKLM\SOFTWARE\Vantrel\Patchwell'
if [ $update_tool = 1 ] && built PTWClientApp.exe; then
    mkdir -p "$programs/Patchwell"
    cp -f "$build/standin-apps/PTWClientApp.exe" "$programs/Patchwell/"
    for view in $views; do
        reg add "$update_key" /v 'User Registration' /t REG_DWORD /d "$registration" /f $view
    done
else
    rm -rf "$programs/Patchwell"
    for view in $views; do reg delete "$update_key" /f $view || true; done
fi

# The state Windows is in, as a diagnosis finds it: a realistic mix, some problems and not all.
# Windows' own services the tests look at run on the stand-in service program (--service);
# by default the wireless service is installed but stopped (a network problem) and the
# firewall's helper service of a security suite is not installed.
services_dir="$WINEPREFIX/drive_c/Program Files/Vantrel/StandInServices"
mkdir -p "$services_dir"
cp -f "$build/bin/HLMStandInService.exe" "$services_dir/"
service_exe='C:\Program Files\Vantrel\StandInServices\HLMStandInService.exe'
service() { # name running|stopped|absent
    wine sc stop "$1" >/dev/null 2>&1 || true
    wine sc delete "$1" >/dev/null 2>&1 || true
    [ "$2" = absent ] && return 0
    wine sc create "$1" binPath= "$service_exe" start= auto >/dev/null 2>&1
    if [ "$2" = running ]; then wine sc start "$1" >/dev/null 2>&1 || true; fi
}
for name in "${!services[@]}"; do
    service "$name" "${services[$name]}"
done

# Paging file managed by Windows (Wine's own default is a fixed size far too small), firewall
# on in both profiles, automatic updates on.
memory='HKLM\SYSTEM\CurrentControlSet\Control\Session Manager\Memory Management'
reg add "$memory" /v PagingFiles /t REG_MULTI_SZ /d '?:\pagefile.sys' /f /reg:64
policy='HKLM\SYSTEM\CurrentControlSet\Services\SharedAccess\Parameters\FirewallPolicy'
for profile in StandardProfile PublicProfile; do
    reg add "$policy\\$profile" /v EnableFirewall /t REG_DWORD /d 1 /f /reg:64
done
reg add 'HKLM\SOFTWARE\Microsoft\Windows\CurrentVersion\WindowsUpdate\Auto Update' \
    /v AUOptions /t REG_DWORD /d 4 /f /reg:64

# The maker's utilities: the display utility (and XP's key utility) installed, the speed-up
# utility missing (a system problem). No anti-virus is installed (another).
for tool in 'Dispavo/dsvcore.exe' 'Keyavod/Keyavod.exe'; do
    mkdir -p "$programs/$(dirname "$tool")"
    : > "$programs/$tool"
done
rm -rf "$programs/SpeedavoMgr"

# The update tool found two updates and downloaded them: waiting to be installed.
if [ $update_tool = 1 ] && [ -d "$programs/Patchwell" ]; then
    for view in $views; do
        for value in 'Auto Update Option' 'Live Option' 'Update Progress'; do
            reg add "$update_key" /v "$value" /t REG_DWORD /d 0 /f $view
        done
    done
    catalog() { # file entry-word
        cat > "$programs/Patchwell/$1" <<XML
<?xml version="1.0" encoding="utf-8"?>
<Catalog>
  <$2><NAME>Vantrel Display Driver</NAME><VERSION>8.15.10.2302</VERSION><FILESIZE>48234496</FILESIZE></$2>
  <$2><NAME>Vantrel Touchpad Driver</NAME><VERSION>16.2.4.3</VERSION><FILESIZE>9437184</FILESIZE></$2>
</Catalog>
XML
    }
    catalog SearchedCatalog.xml Content
    catalog DownloadedCatalog.xml Item
fi

echo 'C:\Program Files\Vantrel\Helmora\HLMMain.exe'
