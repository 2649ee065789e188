#pragma once
// The system-information library's exports, as HLMMain calls them. Standard calling
// convention, C++ names; HLMMain links the library through its import library.

#ifdef HLM_BUILDING_TAVDLL
#define TAVDLL_API __declspec(dllexport)
#else
#define TAVDLL_API __declspec(dllimport)
#endif

// Closes the WMI connection the collectors opened; a later collector opens it again.
TAVDLL_API void __stdcall CleanUpWMI();
