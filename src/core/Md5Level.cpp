#include "Md5Level.h"

#include <cstdlib>

namespace {

constexpr TMd5Level AllLevels[] = {TMd5Level::Single, TMd5Level::Avx2, TMd5Level::Avx512};

} // namespace

const char *Md5LevelName(TMd5Level level)
{
    switch (level) {
    case TMd5Level::Single:
        return "single";
    case TMd5Level::Avx2:
        return "avx2";
    case TMd5Level::Avx512:
        return "avx512";
    }
    return "single";
}

std::optional<TMd5Level> Md5LevelNamed(std::string_view name)
{
    for (TMd5Level level : AllLevels) {
        if (name == Md5LevelName(level))
            return level;
    }
    return std::nullopt;
}

int Md5LevelLanes(TMd5Level level)
{
    switch (level) {
    case TMd5Level::Single:
        return 1;
    case TMd5Level::Avx2:
        return 8;
    case TMd5Level::Avx512:
        return 16;
    }
    return 1;
}

TCpuVectors DetectCpuVectors()
{
    TCpuVectors cpu;
#if defined(__x86_64__) // the vector block functions are built for x86-64 only
    // libgcc's answers also ask the system (XGETBV) whether it saves the wide registers.
    __builtin_cpu_init();
    cpu.Avx2 = __builtin_cpu_supports("avx2");
    cpu.Avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                 __builtin_cpu_supports("avx512vl");
#endif
    return cpu;
}

bool Md5LevelSupported(TMd5Level level, const TCpuVectors &cpu)
{
    switch (level) {
    case TMd5Level::Single:
        return true;
    case TMd5Level::Avx2:
        return cpu.Avx2;
    case TMd5Level::Avx512:
        return cpu.Avx512;
    }
    return false;
}

std::vector<TMd5Level> Md5SupportedLevels(const TCpuVectors &cpu)
{
    std::vector<TMd5Level> levels;
    for (TMd5Level level : AllLevels) {
        if (Md5LevelSupported(level, cpu))
            levels.push_back(level);
    }
    return levels;
}

TMd5Level Md5BestLevel(const TCpuVectors &cpu)
{
    return Md5SupportedLevels(cpu).back();
}

TMd5LevelChoice Md5LevelChosen(std::string_view name, const TCpuVectors &cpu)
{
    if (name.empty())
        return {Md5BestLevel(cpu), {}};
    const std::optional<TMd5Level> level = Md5LevelNamed(name);
    if (!level)
        return {TMd5Level::Single,
                "unknown MD5 level \"" + std::string(name) + "\" (single, avx2 or avx512)"};
    if (!Md5LevelSupported(*level, cpu))
        return {*level, std::string("this processor cannot digest with ") + Md5LevelName(*level)};
    return {*level, {}};
}

TMd5LevelChoice Md5LevelFromEnvironment()
{
    const char *value = std::getenv(Md5LevelVariable);
    TMd5LevelChoice choice = Md5LevelChosen(value ? value : "");
    if (!choice.Ok())
        choice.Error = std::string(Md5LevelVariable) + ": " + choice.Error;
    return choice;
}
