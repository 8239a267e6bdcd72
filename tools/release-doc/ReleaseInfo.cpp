#include "ReleaseInfo.h"

#include "plugin/ProductInfo.h"
#include "plugin/update/DocumentAddress.h"
#include "plugin/update/ReleaseParser.h"

namespace vo::tools::release
{

namespace
{
namespace product = vo::plugins::zel::product;
namespace upd = vo::plugins::zel::upd;

juce::String documentFolderUrl()
{
    return upd::builtInDocumentUrl().upToLastOccurrenceOf ("/", true, false);
}

juce::var releaseEntry()
{
    auto* entry = new juce::DynamicObject();
    entry->setProperty ("version", product::kVersion);
    entry->setProperty ("page", releasePageUrl());
    entry->setProperty ("installer", installerUrl());
    return entry;
}
} // namespace

juce::String packageName()
{
    return juce::String (product::kName).toLowerCase();
}

juce::String installerFileName()
{
    return juce::String (product::kName) + "-" + product::kVersion + "-win64-setup.exe";
}

juce::String documentFileName()
{
    return juce::String (upd::kDocumentPath).fromLastOccurrenceOf ("/", false, false);
}

juce::String installerUrl()
{
    return documentFolderUrl() + installerFileName();
}

juce::String releasePageUrl()
{
    return juce::String (product::kWebsite) + "/" + packageName() + "/releases/" + product::kVersion;
}

juce::String updateDocument()
{
    auto* root = new juce::DynamicObject();
    root->setProperty (upd::kProductKey, releaseEntry());
    return juce::JSON::toString (juce::var (root), false) + "\n";
}

juce::StringPairArray facts()
{
    juce::StringPairArray result (false);
    result.set ("NAME", product::kName);
    result.set ("PACKAGE", packageName());
    result.set ("VERSION", product::kVersion);
    result.set ("VENDOR", product::kVendor);
    result.set ("WEBSITE", product::kWebsite);
    result.set ("SUPPORT_EMAIL", product::kSupportEmail);
    result.set ("INSTALLER", installerFileName());
    result.set ("INSTALLER_URL", installerUrl());
    result.set ("PAGE_URL", releasePageUrl());
    result.set ("DOCUMENT", documentFileName());
    return result;
}

} // namespace vo::tools::release
