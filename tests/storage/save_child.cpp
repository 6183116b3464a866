// The child process of tst_safesave: builds one generation of the large catalog, says "ready" on
// its standard output and saves it. Given a moment of putting the file in place, it kills itself
// there (SIGKILL, as a crash or a power cut would end it); otherwise the parent kills it when it
// wants to, or it ends after the save with "saved".
//
//   dravik-save-child PATH GENERATION RECORDS [synced|linked|backup|replaced]

#include "CatalogFile.h"
#include "SaveGenerations.h"

#include <csignal>
#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    if (argc < 4)
        return 2;
    const QString path = QString::fromLocal8Bit(argv[1]);
    const char generation = argv[2][0];
    const int records = std::atoi(argv[3]);
    const char *stopAt = argc > 4 ? argv[4] : "";
    const TReplaceStep steps[] = {TReplaceStep::Synced, TReplaceStep::BackupLinked,
                                  TReplaceStep::BackupInPlace, TReplaceStep::Replaced};
    const char *const names[] = {"synced", "linked", "backup", "replaced"};

    TCatalog catalog;
    SaveTest::BuildGeneration(catalog, generation, records);
    std::printf("ready\n");
    std::fflush(stdout);
    SaveCatalog(catalog, path, {}, [&](TReplaceStep step) {
        for (size_t i = 0; i < std::size(steps); ++i) {
            if (steps[i] == step && std::strcmp(names[i], stopAt) == 0)
                std::raise(SIGKILL);
        }
    });
    std::printf("saved\n");
    return 0;
}
