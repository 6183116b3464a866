#include "ShowingErrors.h"

#include "Prompts.h"
#include "StorageErrors.h"

void RunShowingErrors(TPrompts &prompts, const std::function<void()> &command)
{
    try {
        command();
    } catch (const EStorageError &error) {
        prompts.StandardError(error.Message(), error.File());
    } catch (const std::exception &error) {
        prompts.StandardError(QString::fromLocal8Bit(error.what()));
    }
}
