#pragma once

// The Windows test programs run under Wine without a test framework: one line
// per check, then "N passed, M failed", and an exit code CTest can read.

#include <cstdio>
#include <string>

namespace vo::test
{

class CheckReport
{
public:
    static CheckReport& forThisProgram()
    {
        static CheckReport report;
        return report;
    }

    bool check (bool ok, const std::string& what, const std::string& detail = {})
    {
        ++(ok ? passed : failed);
        std::printf ("%s %s%s%s\n", ok ? "PASS" : "FAIL", what.c_str(), detail.empty() ? "" : ": ", detail.c_str());
        std::fflush (stdout);
        return ok;
    }

    // Prints the totals; the program's exit code.
    int finish() const
    {
        std::printf ("%d passed, %d failed\n", passed, failed);
        return failed == 0 ? 0 : 1;
    }

    // Prints the totals for a run that cannot go on.
    int abandon() const
    {
        finish();
        return 1;
    }

private:
    int passed = 0;
    int failed = 0;
};

inline bool check (bool ok, const std::string& what, const std::string& detail = {})
{
    return CheckReport::forThisProgram().check (ok, what, detail);
}

} // namespace vo::test
