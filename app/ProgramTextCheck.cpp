#include "app/ProgramTextCheck.h"

#include "common/GbkText.h"

compiler::CheckReport CheckProgramText(QStringView text, std::stop_token stop) {
    const QByteArray bytes = gbk::Encode(text);
    return compiler::CheckProgram(
        std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), stop);
}
