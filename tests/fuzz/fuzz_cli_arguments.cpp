// kovr-cli's argument parser on any list of arguments.
//
// Properties: it never crashes; it ends either with a request and status 0, or with no request
// and status 0 (help, version) or 2 (a usage error); a request names a port for every command but
// ports and a non-empty file for read and write, carries only the options of its command, and a
// deadline only where one is kept.

#include "FuzzSupport.h"
#include "cli/CliExit.h"
#include "cli/CliRequest.h"
#include "lang/Lang.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <QStringList>

#include <cstdio>

namespace {

// The words the parser knows, so that the fuzzer reaches past the first usage error quickly.
constexpr const char* Words[] = {
    "ports",     "read",   "write", "ident",       "monitor", "--port",    "--out",
    "--lang",    "--json", "--csv", "--selection", "--count", "--dry-run", "--help",
    "--version", "-h",     "-v",    "0",           "1",       "2",         "en",
    "cs",        "x.par",  "",      "COM1",        "--port=", "--out=",    "--count=0",
    "--",        "-",      "help",  "--timeout",   "nan",     "inf",       "1e9",
    "0.5",       "-1"};

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // The help text goes to stdout: not into the fuzzer's log.
    if (!std::freopen("/dev/null", "w", stdout)) return 1;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    QStringList arguments{QStringLiteral("kovr-cli")};
    while (in.remaining_bytes() > 0 && arguments.size() < 12) {
        if (in.ConsumeBool()) {
            arguments.append(QString::fromLatin1(in.PickValueInArray(Words)));
        } else {
            const std::string text = in.ConsumeRandomLengthString(16);
            arguments.append(QString::fromUtf8(text.data(), qsizetype(text.size())));
        }
    }
    fuzz::context() = arguments.join(QStringLiteral(" | "));

    const int language = CliRequest::languageOf(arguments);
    FUZZ_CHECK(language >= -1 && language <= 3, << language);
    LangIndex = language >= 0 ? language : 1;

    int status = -1;
    const std::optional<CliRequest> request = CliRequest::parse(arguments, &status);
    FUZZ_CHECK(status == ExitSuccess || (!request && status == ExitUsage), << status);
    if (!request) return 0;

    using Command = CliRequest::Command;
    const Command command = request->command;
    FUZZ_CHECK(command == Command::Ports || !request->port.isEmpty());
    FUZZ_CHECK((command != Command::Read && command != Command::Write) || !request->file.isEmpty(),
               << "no file for read or write");
    FUZZ_CHECK(request->selection == 0 || request->selection == 1, << request->selection);
    FUZZ_CHECK(!request->dryRun || command == Command::Write);
    FUZZ_CHECK(!request->json || command == Command::Ident || command == Command::Ports);
    FUZZ_CHECK(!request->csv || command == Command::Monitor);
    FUZZ_CHECK(request->count == 0 || (command == Command::Monitor && request->count > 0),
               << request->count);
    // A deadline a timer can hold, never for ports (it waits for no unit).
    FUZZ_CHECK(request->timeout == 0 ||
                   (command != Command::Ports && request->timeout > 0 && request->timeout <= 86400),
               << request->timeout);
    return 0;
}
