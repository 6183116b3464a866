#pragma once

// The instruction sets the multi-lane MD5 engine digests with, which of them this processor
// offers, and which one a run uses. Digests are the same at every level; only the speed differs.
//
// A level is chosen once a run, from what the processor offers, or forced by name (the variable
// DRAVIK_MD5_LEVEL, or an option) to compare levels or to test each one. A forced level the
// processor lacks is an error with a text for the user, never an attempt that would crash.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

enum class TMd5Level
{
    Single, // one message at a time, the single-stream engine (Md5Engine)
    Avx2,   // 8 messages side by side
    Avx512, // 16 messages side by side (AVX-512 F, BW and VL)
};

// The variable that forces a level by its name.
inline constexpr char Md5LevelVariable[] = "DRAVIK_MD5_LEVEL";

// "single", "avx2", "avx512": the names a level is forced by.
const char *Md5LevelName(TMd5Level level);
std::optional<TMd5Level> Md5LevelNamed(std::string_view name);
// Messages digested side by side: 1, 8 or 16.
int Md5LevelLanes(TMd5Level level);

// The vector instruction sets this processor has and the system saves between threads.
struct TCpuVectors
{
    bool Avx2 = false;
    bool Avx512 = false; // F, BW and VL together
};
TCpuVectors DetectCpuVectors();

bool Md5LevelSupported(TMd5Level level, const TCpuVectors &cpu = DetectCpuVectors());
// Every supported level, narrowest first; Single is always there.
std::vector<TMd5Level> Md5SupportedLevels(const TCpuVectors &cpu = DetectCpuVectors());
TMd5Level Md5BestLevel(const TCpuVectors &cpu = DetectCpuVectors());

// A level, or why the one asked for cannot be used.
struct TMd5LevelChoice
{
    TMd5Level Level = TMd5Level::Single;
    std::string Error; // empty when Level can be used

    bool Ok() const { return Error.empty(); }
};

// The level a name forces, checked against the processor; an empty name chooses the best level.
TMd5LevelChoice Md5LevelChosen(std::string_view name, const TCpuVectors &cpu = DetectCpuVectors());
// Md5LevelChosen for the value of DRAVIK_MD5_LEVEL (unset or empty: the best level); an error
// names the variable.
TMd5LevelChoice Md5LevelFromEnvironment();
