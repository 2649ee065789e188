#pragma once
// What the library's behaviour tests share: the traces and messages the library wrote during
// a test, and the engine's generation.

#include <string>
#include <vector>

#include "diaglib/ports/Ports.h"

namespace diagtest {

// Collects the library's traces and message boxes from construction to destruction (message
// boxes are recorded instead of shown). Recorders may nest: a new one starts the record afresh,
// and the library goes back to showing its boxes only when the last one goes.
class Recorder {
  public:
    Recorder();
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    const std::vector<std::wstring>& Traces() const;
    const std::vector<std::wstring>& Messages() const;
    bool Traced(const std::wstring& text) const;
    void Clear();
};

// Installs the given ports (null members keep the current ones) and puts the previous ones back
// when it goes.
class ScopedPorts {
  public:
    explicit ScopedPorts(const diag::Ports& replacements) : saved_(diag::CurrentPorts())
    {
        diag::InstallPorts(replacements);
    }
    ~ScopedPorts() { diag::InstallPorts(saved_); }
    ScopedPorts(const ScopedPorts&) = delete;
    ScopedPorts& operator=(const ScopedPorts&) = delete;

  private:
    diag::Ports saved_;
};

#ifdef HLM_DIAG_GENERATION
constexpr bool kWin7 = HLM_DIAG_GENERATION == 7;
constexpr bool kVista = HLM_DIAG_GENERATION == 6;
constexpr bool kXp = HLM_DIAG_GENERATION == 5;
#endif

} // namespace diagtest
