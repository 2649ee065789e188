#!/usr/bin/env bash
# Prepares the Wine prefix of a build folder as a Vantrel notebook: the program and its
# libraries installed under Program Files with the maker's stand-in libraries beside them,
# the firmware state the BIOS interface answers from, and the Windows generation to report.
#
#   tools/setup-notebook.sh BUILD_DIR [--windows xp|vista|7] [--model NAME] [--radio 0|1|2]
#                           [--battery-topic 0|1]
#
# Needs the environment of tools/wine-env.sh (hlm_wine_init BUILD_DIR) already set.
set -euo pipefail
build=$1; shift
windows=7 model=NP300E5 radio=1 battery=0
while [ $# -gt 0 ]; do
    case $1 in
        --windows) windows=$2; shift 2 ;;
        --model) model=$2; shift 2 ;;
        --radio) radio=$2; shift 2 ;;
        --battery-topic) battery=$2; shift 2 ;;
        *) echo "setup-notebook: unknown option $1" >&2; exit 2 ;;
    esac
done
case $windows in
    xp) version=winxp64 ;; vista) version=vista ;; 7) version=win7 ;;
    *) echo "setup-notebook: --windows takes xp, vista or 7" >&2; exit 2 ;;
esac

reg() { wine reg "$@" >/dev/null 2>&1; }

# Windows generation the notebook reports.
reg add 'HKCU\Software\Wine' /v Version /t REG_SZ /d "$version" /f

# Firmware state of the BIOS interface library (read by the PAVI stand-ins on every call).
firmware='HKLM\SOFTWARE\Vantrel\PaviStandIn'
reg add "$firmware" /v ModelName /t REG_SZ /d "$model" /f /reg:64
reg add "$firmware" /v RadioSwitch /t REG_DWORD /d "$radio" /f /reg:64
reg add "$firmware" /v BatteryTopic /t REG_DWORD /d "$battery" /f /reg:64

# The program folder, with the maker's outside libraries beside the program.
program_dir="$WINEPREFIX/drive_c/Program Files/Vantrel/Helmora"
mkdir -p "$program_dir"
for f in HLMMain.exe TavDLL.dll ProbixWin7.dll ProbixVista.dll ProbixXp.dll \
         PAVI2.dll PAVI3.dll Korvex64.dll; do
    cp -f "$build/bin/$f" "$program_dir/"
done
echo 'C:\Program Files\Vantrel\Helmora\HLMMain.exe'
