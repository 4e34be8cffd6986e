#pragma once

#include <string>

// Syntax definitions for other editors, made from the instruction table so they name exactly the
// mnemonics the compile takes. UTF-8 text, as the editors read their definition files.
namespace compiler {

// A KSyntaxHighlighting definition (Kate, KDevelop and whatever else uses the framework).
std::string KateSyntax();
// A Vim syntax file (syntax/tarvex.vim) and the file-type detection for it (ftdetect/tarvex.vim).
std::string VimSyntax();
std::string VimFileType();

}  // namespace compiler
