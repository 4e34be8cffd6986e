#include "registers/FileErrors.h"

#include <cerrno>

namespace registers {

namespace {

const char* Pattern(std::error_code cause) {
    // Causes from the system (Win32 codes on Windows) are compared in their portable form.
    const std::error_condition condition = cause.default_error_condition();
    if (condition.category() != std::generic_category())
        return "在对 %1 进行访问时发生了一个不明错误。";
    switch (condition.value()) {
        case ENOENT:
            return "没有找到 %1。";
        case ENOTDIR:
        case ENAMETOOLONG:
        case EINVAL:
        case ELOOP:
            return "%1 中包含无效的路径。";
        case EMFILE:
        case ENFILE:
            return "无法打开 %1 因为太多文件已被打开。";
        case EACCES:
        case EPERM:
        case EROFS:
        case EISDIR:
        case EEXIST:
            return "对 %1 的存取被拒绝。";
        case EBADF:
            return "一个无效的文件柄与 %1 相关联。";
        case ESPIPE:
            return "对 %1 进行查找失败。";
        case EIO:
            return "在存取 %1 时一个硬件输入/输出错误被报告。";
        case ETXTBSY:
        case EBUSY:
            return "在存取 %1 时发生共享违例。";
        case ENOLCK:
        case EDEADLK:
            return "在存取 %1 时发生锁违例。";
        case ENOSPC:
        case EFBIG:
#ifdef EDQUOT
        case EDQUOT:
#endif
            return "在存取 %1 时磁盘已满。";
        default:
            return "在对 %1 进行访问时发生了一个不明错误。";
    }
}

}  // namespace

std::string FileErrorMessage(std::error_code cause, std::string_view fileName) {
    std::string message = Pattern(cause);
    message.replace(message.find("%1"), 2, fileName);
    return message;
}

}  // namespace registers
