#pragma once

// Exit codes of `tarvex`; scripts depend on them, so they never change meaning.
namespace cli::exitcode {
constexpr int kOk = 0;
constexpr int kLineFault = 1;     // compile: a code line was refused; disasm: not an object program
constexpr int kMissingEnd = 2;    // compile: the code lines ran out without END
constexpr int kCannotCreate = 3;  // compile: the object file could not be created or written
constexpr int kUnreadable = 4;    // the input file could not be read
constexpr int kRefused = 1;       // screen, download: the file or a number failed a check
constexpr int kNoController = 5;  // download: the port did not open or the handshake failed
constexpr int kNoAnswer = 6;      // download: the controller stopped answering
constexpr int kLineLost = 7;      // download: the device went away (hang-up, adapter pulled)
constexpr int kSuspectData = 8;   // download: finished, but answers show the data may be wrong
constexpr int kNotRecorded = 9;   // download: finished, but its record could not join the ledger
constexpr int kSignalled = 128;   // download: + the signal that stopped it (130 INT, 143 TERM)
constexpr int kUsage = 64;        // bad command line (EX_USAGE)
constexpr int kOutputFailed = 74;  // what was printed did not all reach standard output (EX_IOERR)
}  // namespace cli::exitcode
