// Marks the classes and functions that drovik.dll exports: exported while the
// engine itself is built, imported by everything that links its import library.
#pragma once

#ifdef drovik_EXPORTS
#define DROVIK_API __declspec(dllexport)
#else
#define DROVIK_API __declspec(dllimport)
#endif
