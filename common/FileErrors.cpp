#include "common/FileErrors.h"

#include <cerrno>

#include "common/Messages.h"

namespace registers {

namespace {

msg::Id Pattern(std::error_code cause) {
    // Causes from the system (Win32 codes on Windows) are compared in their portable form.
    const std::error_condition condition = cause.default_error_condition();
    if (condition.category() != std::generic_category())
        return msg::Id::FileGenericError;
    switch (condition.value()) {
        case ENOENT:
            return msg::Id::FileNotFound;
        case ENOTDIR:
        case ENAMETOOLONG:
        case EINVAL:
        case ELOOP:
            return msg::Id::FileBadPath;
        case EMFILE:
        case ENFILE:
            return msg::Id::FileTooManyOpen;
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case EEXIST:
            return msg::Id::FileAccessDenied;
        case EBADF:
            return msg::Id::FileBadHandle;
        case ESPIPE:
            return msg::Id::FileSeekFailed;
        case EIO:
            return msg::Id::FileHardwareError;
        case ETXTBSY:
        case EBUSY:
            return msg::Id::FileSharingViolation;
        case ENOLCK:
        case EDEADLK:
            return msg::Id::FileLockViolation;
        case EFBIG:
            return msg::Id::FileSizeLimit;
        case ENOSPC:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return msg::Id::FileDiskFull;
        default:
            return msg::Id::FileGenericError;
    }
}

}  // namespace

std::string FileErrorMessage(std::error_code cause, std::string_view fileName) {
    return msg::Text(Pattern(cause), {fileName});
}

}  // namespace registers
