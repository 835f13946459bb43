// ExitLeakCheck: LeakSanitizer's end-of-run check, made by ExitProcess itself.
//
// ExitProcess ends the process with _exit, so the exit handlers never run, and LeakSanitizer's
// own check is one of them: without this call a sanitizer build would never report a leak of a
// run that ends through ExitProcess (every ordinary end of saver and demo). Called once, by
// ExitProcess, after the streams are flushed and before _exit. In a build with
// AddressSanitizer it reports what nothing points to any more and, when there is any, ends the
// process at once with the sanitizer's failing exit code (its `exitcode` option); it honours
// detect_leaks=0 and the suppressions of LSAN_OPTIONS. In other builds it does nothing.
#pragma once

namespace StandIn
{

class ExitLeakCheck
{
  public:
    static void Run();

    // True in a build where Run checks (one built with AddressSanitizer).
    static bool IsActive();
};

} // namespace StandIn
