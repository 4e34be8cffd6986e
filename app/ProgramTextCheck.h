#pragma once

#include <QStringView>

#include <stop_token>

#include "compiler/ProgramCheck.h"

// The check of a program as an editor holds it (Unicode text, lines apart at '\n' or the paragraph
// separator): encoded to the GBK bytes a save would write, then the compile's own check. The
// desktop editor's live check and the language server both go through here.
compiler::CheckReport CheckProgramText(QStringView text, std::stop_token stop = {});
