// zel-release-doc: names this build's release for the packaging scripts and
// writes the update document that announces it.
//
//   zel-release-doc facts     ZEL_NAME='ZEL' … lines for a POSIX shell's eval
//   zel-release-doc document  the update document (JSON) on standard output

#include "ReleaseInfo.h"

#include <iostream>

namespace
{
constexpr int kExitUsage = 2;

juce::String shellQuoted (const juce::String& value)
{
    return "'" + value.replace ("'", "'\\''") + "'";
}

int printFacts()
{
    const auto facts = vo::tools::release::facts();
    for (int i = 0; i < facts.size(); ++i)
        std::cout << "ZEL_" << facts.getAllKeys()[i] << "=" << shellQuoted (facts.getAllValues()[i]) << "\n";
    return 0;
}

int printDocument()
{
    std::cout << vo::tools::release::updateDocument();
    return 0;
}
} // namespace

int main (int argc, char** argv)
{
    const juce::String command = argc == 2 ? argv[1] : "";

    if (command == "facts")
        return printFacts();
    if (command == "document")
        return printDocument();

    std::cerr << "usage: zel-release-doc facts|document" << std::endl;
    return kExitUsage;
}
