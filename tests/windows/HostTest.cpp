// A VST3 host's view of the Windows ZEL.vst3, run under Wine: loads the module,
// reads the factory and class information, builds component and controller as
// a host does, processes audio with a sidechain, moves the state into a
// second instance, and opens the editor in a Win32 window of its own. Only the
// SDK's interface headers are used, so nothing of the plug-in's own framework
// is shared with what is tested.
//
// Usage: zel_win_host_test <path to ZEL.vst3 bundle or DLL> [editor picture.bmp]
// Prints one line per check and "N passed, M failed"; exits non-zero on failure.

#include "CheckReport.h"

#include <pluginterfaces/base/ibstream.h>
#include <pluginterfaces/base/ipluginbase.h>
#include <pluginterfaces/gui/iplugview.h>
#include <pluginterfaces/vst/ivstaudioprocessor.h>
#include <pluginterfaces/vst/ivstcomponent.h>
#include <pluginterfaces/vst/ivsteditcontroller.h>
#include <pluginterfaces/vst/ivsthostapplication.h>
#include <pluginterfaces/vst/ivstmessage.h>
#include <pluginterfaces/vst/ivstparameterchanges.h>
#include <pluginterfaces/vst/ivstunits.h>
#include <pluginterfaces/vst/vstspeaker.h>

#include "platform/windows/WindowsApi.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unordered_set>
#include <vector>

using namespace Steinberg;

namespace
{

using vo::test::check;

std::string narrow (const char16* text)
{
    std::string result;
    for (; text != nullptr && *text != 0; ++text)
        result += *text < 128 ? (char) *text : '?';
    return result;
}

std::wstring widen (const std::string& text)
{
    const int chars = MultiByteToWideChar (CP_UTF8, 0, text.c_str(), -1, nullptr, 0);
    std::wstring result ((size_t) std::max (chars, 1), L'\0');
    MultiByteToWideChar (CP_UTF8, 0, text.c_str(), -1, result.data(), chars);
    result.resize (wcslen (result.c_str()));
    return result;
}

std::string quoted (const std::string& text)
{
    return "\"" + text + "\"";
}

// JUCE's Windows message window needs a pumped queue for asynchronous updates.
void pumpMessages (DWORD milliseconds)
{
    const ULONGLONG end = GetTickCount64() + milliseconds;
    do
    {
        MSG message;
        while (PeekMessageW (&message, nullptr, 0, 0, PM_REMOVE))
        {
            TranslateMessage (&message);
            DispatchMessageW (&message);
        }
        Sleep (10);
    } while (GetTickCount64() < end);
}

//==============================================================================
// Host-side objects live for the whole run; reference counts are kept for
// correctness but never free them.
template <typename Interface>
class HostObject : public Interface
{
public:
    tresult PLUGIN_API queryInterface (const TUID queried, void** obj) override
    {
        if (FUnknownPrivate::iidEqual (queried, FUnknown::iid) || FUnknownPrivate::iidEqual (queried, Interface::iid))
        {
            addRef();
            *obj = static_cast<Interface*> (this);
            return kResultOk;
        }
        *obj = nullptr;
        return kNoInterface;
    }
    uint32 PLUGIN_API addRef() override { return (uint32) ++references; }
    uint32 PLUGIN_API release() override { return (uint32) --references; }

private:
    long references = 1;
};

class HostApplication : public HostObject<Vst::IHostApplication>
{
public:
    tresult PLUGIN_API getName (Vst::String128 name) override
    {
        const char* text = "ZEL Windows test host";
        int i = 0;
        for (; text[i] != 0 && i < 127; ++i)
            name[i] = (char16) text[i];
        name[i] = 0;
        return kResultOk;
    }

    // The wrapper connects component and controller directly; it needs no host messages.
    tresult PLUGIN_API createInstance (TUID, TUID, void** obj) override
    {
        *obj = nullptr;
        return kResultFalse;
    }
};

class ComponentHandler : public HostObject<Vst::IComponentHandler>
{
public:
    tresult PLUGIN_API beginEdit (Vst::ParamID) override { return kResultOk; }
    tresult PLUGIN_API performEdit (Vst::ParamID, Vst::ParamValue) override { ++edits; return kResultOk; }
    tresult PLUGIN_API endEdit (Vst::ParamID) override { return kResultOk; }
    tresult PLUGIN_API restartComponent (int32) override { return kResultOk; }
    int edits = 0;
};

class MemoryStream : public HostObject<IBStream>
{
public:
    tresult PLUGIN_API read (void* buffer, int32 numBytes, int32* numBytesRead) override
    {
        const auto available = (int64) data.size() - position;
        const auto count = (int32) std::max<int64> (0, std::min<int64> (numBytes, available));
        if (count > 0)
            std::memcpy (buffer, data.data() + position, (size_t) count);
        position += count;
        if (numBytesRead != nullptr)
            *numBytesRead = count;
        return kResultOk;
    }

    tresult PLUGIN_API write (void* buffer, int32 numBytes, int32* numBytesWritten) override
    {
        if (numBytes < 0)
            return kInvalidArgument;
        const auto end = (size_t) position + (size_t) numBytes;
        if (data.size() < end)
            data.resize (end);
        std::memcpy (data.data() + position, buffer, (size_t) numBytes);
        position += numBytes;
        if (numBytesWritten != nullptr)
            *numBytesWritten = numBytes;
        return kResultOk;
    }

    tresult PLUGIN_API seek (int64 pos, int32 mode, int64* result) override
    {
        int64 target = pos;
        if (mode == kIBSeekCur)
            target += position;
        else if (mode == kIBSeekEnd)
            target += (int64) data.size();
        if (target < 0)
            return kResultFalse;
        position = target;
        if (result != nullptr)
            *result = position;
        return kResultOk;
    }

    tresult PLUGIN_API tell (int64* pos) override
    {
        if (pos == nullptr)
            return kInvalidArgument;
        *pos = position;
        return kResultOk;
    }

    void rewind() { position = 0; }

    std::vector<char> data;
    int64 position = 0;
};

// One value for one parameter at the start of a block: what a host sends for
// an automation step.
class ParamQueue : public HostObject<Vst::IParamValueQueue>
{
public:
    ParamQueue (Vst::ParamID idToUse, Vst::ParamValue valueToUse) : id (idToUse), value (valueToUse) {}
    Vst::ParamID PLUGIN_API getParameterId() override { return id; }
    int32 PLUGIN_API getPointCount() override { return 1; }
    tresult PLUGIN_API getPoint (int32 index, int32& sampleOffset, Vst::ParamValue& out) override
    {
        if (index != 0)
            return kResultFalse;
        sampleOffset = 0;
        out = value;
        return kResultOk;
    }
    tresult PLUGIN_API addPoint (int32, Vst::ParamValue, int32&) override { return kResultFalse; }

private:
    Vst::ParamID id;
    Vst::ParamValue value;
};

class ParamChanges : public HostObject<Vst::IParameterChanges>
{
public:
    int32 PLUGIN_API getParameterCount() override { return (int32) queues.size(); }
    Vst::IParamValueQueue* PLUGIN_API getParameterData (int32 index) override
    {
        return index >= 0 && index < (int32) queues.size() ? &queues[(size_t) index] : nullptr;
    }
    Vst::IParamValueQueue* PLUGIN_API addParameterData (const Vst::ParamID&, int32&) override { return nullptr; }

    std::vector<ParamQueue> queues;
};

HostApplication hostApplication;
ComponentHandler componentHandler;

//==============================================================================
template <typename Interface>
Interface* queryAs (FUnknown* object)
{
    void* result = nullptr;
    if (object == nullptr || object->queryInterface (Interface::iid, &result) != kResultOk)
        return nullptr;
    return static_cast<Interface*> (result);
}

struct Module
{
    HMODULE handle = nullptr;
    IPluginFactory* factory = nullptr;
};

struct Instance
{
    Vst::IComponent* component = nullptr;
    Vst::IAudioProcessor* processor = nullptr;
    Vst::IEditController* controller = nullptr;
    Vst::IConnectionPoint* componentPoint = nullptr;
    Vst::IConnectionPoint* controllerPoint = nullptr;
    std::vector<Vst::ParameterInfo> parameters;

    Vst::ParamID idOf (const std::string& title) const
    {
        for (const auto& info : parameters)
            if (narrow (info.title) == title)
                return info.id;
        return (Vst::ParamID) -1;
    }
};

constexpr double kSampleRate = 48000.0;
constexpr int kBlockSize = 512;

// A host's order: component, its processor interface, the controller,
// connection both ways, then the component's state handed to the controller.
bool createInstance (IPluginFactory& factory, const TUID componentClass, Instance& out)
{
    void* object = nullptr;
    if (factory.createInstance (componentClass, Vst::IComponent::iid, &object) != kResultOk || object == nullptr)
        return false;
    out.component = static_cast<Vst::IComponent*> (object);
    if (out.component->initialize (&hostApplication) != kResultOk)
        return false;

    out.processor = queryAs<Vst::IAudioProcessor> (out.component);
    if (out.processor == nullptr)
        return false;

    TUID controllerClass {};
    if (out.component->getControllerClassId (controllerClass) != kResultOk)
        return false;

    object = nullptr;
    if (factory.createInstance (controllerClass, Vst::IEditController::iid, &object) != kResultOk || object == nullptr)
        return false;
    out.controller = static_cast<Vst::IEditController*> (object);
    if (out.controller->initialize (&hostApplication) != kResultOk)
        return false;
    out.controller->setComponentHandler (&componentHandler);

    out.componentPoint = queryAs<Vst::IConnectionPoint> (out.component);
    out.controllerPoint = queryAs<Vst::IConnectionPoint> (out.controller);
    if (out.componentPoint == nullptr || out.controllerPoint == nullptr)
        return false;
    out.componentPoint->connect (out.controllerPoint);
    out.controllerPoint->connect (out.componentPoint);

    MemoryStream state;
    if (out.component->getState (&state) == kResultOk)
    {
        state.rewind();
        out.controller->setComponentState (&state);
    }

    for (int32 i = 0; i < out.controller->getParameterCount(); ++i)
    {
        Vst::ParameterInfo info {};
        if (out.controller->getParameterInfo (i, info) == kResultOk)
            out.parameters.push_back (info);
    }
    return true;
}

void destroyInstance (Instance& instance)
{
    if (instance.componentPoint != nullptr && instance.controllerPoint != nullptr)
    {
        instance.componentPoint->disconnect (instance.controllerPoint);
        instance.controllerPoint->disconnect (instance.componentPoint);
    }
    if (instance.componentPoint != nullptr)
        instance.componentPoint->release();
    if (instance.controllerPoint != nullptr)
        instance.controllerPoint->release();
    if (instance.controller != nullptr)
    {
        instance.controller->setComponentHandler (nullptr);
        instance.controller->terminate();
        instance.controller->release();
    }
    if (instance.processor != nullptr)
        instance.processor->release();
    if (instance.component != nullptr)
    {
        instance.component->terminate();
        instance.component->release();
    }
    instance = {};
}

// Stereo main in and out, stereo sidechain; every bus a real host would use is
// activated, then processing starts.
bool startProcessing (Instance& instance)
{
    Vst::SpeakerArrangement inputs[] = { Vst::SpeakerArr::kStereo, Vst::SpeakerArr::kStereo };
    Vst::SpeakerArrangement outputs[] = { Vst::SpeakerArr::kStereo };
    if (instance.processor->setBusArrangements (inputs, 2, outputs, 1) != kResultTrue)
        return false;

    if (instance.component->activateBus (Vst::kAudio, Vst::kInput, 0, true) != kResultOk
        || instance.component->activateBus (Vst::kAudio, Vst::kInput, 1, true) != kResultOk
        || instance.component->activateBus (Vst::kAudio, Vst::kOutput, 0, true) != kResultOk)
        return false;

    Vst::ProcessSetup setup {};
    setup.processMode = Vst::kRealtime;
    setup.symbolicSampleSize = Vst::kSample32;
    setup.maxSamplesPerBlock = kBlockSize;
    setup.sampleRate = kSampleRate;
    if (instance.processor->setupProcessing (setup) != kResultOk)
        return false;

    if (instance.component->setActive (true) != kResultOk)
        return false;
    instance.processor->setProcessing (true);
    return true;
}

void stopProcessing (Instance& instance)
{
    instance.processor->setProcessing (false);
    instance.component->setActive (false);
}

struct RunResult
{
    double inputRms = 0.0;
    double outputRms = 0.0;
    bool finite = true;
    bool processedOk = true;
};

// Main: a 1 kHz tone. Sidechain: a louder 1 kHz tone, the thing the cut makes
// room for. Levels are measured over the second half of the run, once the cut
// has settled. `changes` goes with the first block only.
RunResult run (Instance& instance, int blocks, ParamChanges* changes)
{
    std::vector<float> mainL (kBlockSize), mainR (kBlockSize), scL (kBlockSize), scR (kBlockSize);
    std::vector<float> outL (kBlockSize), outR (kBlockSize);
    float* mainChannels[] = { mainL.data(), mainR.data() };
    float* scChannels[] = { scL.data(), scR.data() };
    float* outChannels[] = { outL.data(), outR.data() };

    Vst::AudioBusBuffers inputs[2];
    inputs[0].numChannels = 2;
    inputs[0].channelBuffers32 = mainChannels;
    inputs[1].numChannels = 2;
    inputs[1].channelBuffers32 = scChannels;
    Vst::AudioBusBuffers outputs[1];
    outputs[0].numChannels = 2;
    outputs[0].channelBuffers32 = outChannels;

    RunResult result;
    double inSum = 0.0, outSum = 0.0;
    long counted = 0;
    const double step = 2.0 * 3.14159265358979323846 * 1000.0 / kSampleRate;

    for (int b = 0; b < blocks; ++b)
    {
        for (int i = 0; i < kBlockSize; ++i)
        {
            const double phase = step * (double) (b * kBlockSize + i);
            mainL[(size_t) i] = mainR[(size_t) i] = (float) (0.25 * std::sin (phase));
            scL[(size_t) i] = scR[(size_t) i] = (float) (0.9 * std::sin (phase));
        }

        Vst::ProcessData data;
        data.processMode = Vst::kRealtime;
        data.symbolicSampleSize = Vst::kSample32;
        data.numSamples = kBlockSize;
        data.numInputs = 2;
        data.inputs = inputs;
        data.numOutputs = 1;
        data.outputs = outputs;
        data.inputParameterChanges = b == 0 ? changes : nullptr;

        if (instance.processor->process (data) != kResultOk)
            result.processedOk = false;

        for (int i = 0; i < kBlockSize; ++i)
        {
            const double out = outL[(size_t) i];
            if (! std::isfinite (out) || ! std::isfinite (outR[(size_t) i]))
                result.finite = false;
            if (b >= blocks / 2)
            {
                inSum += (double) mainL[(size_t) i] * mainL[(size_t) i];
                outSum += out * out;
                ++counted;
            }
        }
    }

    result.inputRms = std::sqrt (inSum / (double) std::max (counted, 1L));
    result.outputRms = std::sqrt (outSum / (double) std::max (counted, 1L));
    return result;
}

std::string decibels (double ratio)
{
    char text[32];
    std::snprintf (text, sizeof (text), "%.1f dB", 20.0 * std::log10 (std::max (ratio, 1e-9)));
    return text;
}

//==============================================================================
std::string versionString (const std::wstring& dllPath, const wchar_t* key)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW (dllPath.c_str(), &ignored);
    if (size == 0)
        return {};
    std::vector<char> block (size);
    if (! GetFileVersionInfoSizeW (dllPath.c_str(), &ignored) || ! GetFileVersionInfoW (dllPath.c_str(), 0, size, block.data()))
        return {};

    struct Translation { WORD language; WORD codePage; };
    Translation* translations = nullptr;
    UINT length = 0;
    if (! VerQueryValueW (block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**> (&translations), &length)
        || length < sizeof (Translation))
        return {};

    wchar_t query[128];
    std::swprintf (query, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translations[0].language, translations[0].codePage, key);
    wchar_t* value = nullptr;
    if (! VerQueryValueW (block.data(), query, reinterpret_cast<void**> (&value), &length) || value == nullptr)
        return {};

    std::string result;
    for (; *value != 0; ++value)
        result += *value < 128 ? (char) *value : '?';
    return result;
}

std::string fixedFileVersion (const std::wstring& dllPath)
{
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW (dllPath.c_str(), &ignored);
    std::vector<char> block (std::max<DWORD> (size, 1));
    VS_FIXEDFILEINFO* info = nullptr;
    UINT length = 0;
    if (size == 0 || ! GetFileVersionInfoW (dllPath.c_str(), 0, size, block.data())
        || ! VerQueryValueW (block.data(), L"\\", reinterpret_cast<void**> (&info), &length) || info == nullptr)
        return {};
    char text[64];
    std::snprintf (text, sizeof (text), "%lu.%lu.%lu.%lu",
                   (unsigned long) HIWORD (info->dwFileVersionMS), (unsigned long) LOWORD (info->dwFileVersionMS),
                   (unsigned long) HIWORD (info->dwFileVersionLS), (unsigned long) LOWORD (info->dwFileVersionLS));
    return text;
}

// The bundle folder holds the DLL at Contents\x86_64-win\<name>.
std::string moduleFileFor (std::string path)
{
    while (! path.empty() && (path.back() == '/' || path.back() == '\\'))
        path.pop_back();
    const DWORD attributes = GetFileAttributesW (widen (path).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0)
    {
        const auto slash = path.find_last_of ("/\\");
        const auto name = slash == std::string::npos ? path : path.substr (slash + 1);
        return path + "\\Contents\\x86_64-win\\" + name;
    }
    return path;
}

//==============================================================================
// The editor in a window of the host's own, as a Windows host shows it.

constexpr int kDesignWidth = 780;
constexpr int kDesignHeight = 608;
// RGB (197, 108, 100): the editor's background; its grain moves it a little.
constexpr int kBackgroundRed = 197, kBackgroundGreen = 108, kBackgroundBlue = 100;
constexpr int kBackgroundTolerance = 12;
constexpr DWORD kWindowStyle = WS_OVERLAPPEDWINDOW;

std::string sizeText (const ViewRect& rect)
{
    return std::to_string (rect.getWidth()) + " x " + std::to_string (rect.getHeight());
}

// The design's 780:608, allowing for the pixel a scaled size rounds to.
bool keepsDesignAspect (const ViewRect& rect)
{
    return rect.getHeight() > 0
        && std::abs ((double) rect.getWidth() * kDesignHeight / kDesignWidth - rect.getHeight()) <= 1.0;
}

bool isDesignSize (const ViewRect& rect)
{
    const double scale = (double) rect.getWidth() / kDesignWidth;
    return keepsDesignAspect (rect) && scale >= 0.75 - 1e-3 && scale <= 2.0 + 1e-3;
}

// The editor keeps the user's last scale in its folder under %APPDATA%.
bool storedScaleExists()
{
    wchar_t appData[MAX_PATH] {};
    GetEnvironmentVariableW (L"APPDATA", appData, MAX_PATH);
    const std::wstring path = std::wstring (appData) + L"\\velmora\\ZEL\\ui-scale.txt";
    return GetFileAttributesW (path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

LRESULT CALLBACK hostWindowProc (HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW (window, message, wParam, lParam);
}

// A top-level window whose client area is `size`.
HWND createHostWindow (const ViewRect& size)
{
    WNDCLASSEXW windowClass {};
    windowClass.cbSize = sizeof (windowClass);
    windowClass.lpfnWndProc = hostWindowProc;
    windowClass.hInstance = GetModuleHandleW (nullptr);
    windowClass.hCursor = LoadCursorW (nullptr, IDC_ARROW);
    windowClass.lpszClassName = L"ZelTestHostWindow";
    RegisterClassExW (&windowClass);

    RECT frame { 0, 0, size.getWidth(), size.getHeight() };
    AdjustWindowRectEx (&frame, kWindowStyle, FALSE, 0);
    HWND window = CreateWindowExW (0, windowClass.lpszClassName, L"ZEL", kWindowStyle | WS_CLIPCHILDREN, 40, 40,
                                   frame.right - frame.left, frame.bottom - frame.top, nullptr, nullptr,
                                   windowClass.hInstance, nullptr);
    if (window != nullptr)
    {
        ShowWindow (window, SW_SHOWNORMAL);
        UpdateWindow (window);
    }
    return window;
}

void setClientSize (HWND window, const ViewRect& size)
{
    RECT frame { 0, 0, size.getWidth(), size.getHeight() };
    AdjustWindowRectEx (&frame, kWindowStyle, FALSE, 0);
    SetWindowPos (window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                  SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// The view asks its frame for a new size; a host resizes its window and
// confirms with onSize.
class PlugFrame : public HostObject<IPlugFrame>
{
public:
    tresult PLUGIN_API resizeView (IPlugView* view, ViewRect* newSize) override
    {
        if (view == nullptr || newSize == nullptr)
            return kInvalidArgument;
        if (window != nullptr)
            setClientSize (window, *newSize);
        return view->onSize (newSize);
    }

    HWND window = nullptr;
};

PlugFrame plugFrame;

// The client area's pixels as 0x00RRGGBB, read from the window's own DC the
// way a screen grabber does.
struct Picture
{
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

Picture capture (HWND window)
{
    Picture picture;
    RECT client {};
    GetClientRect (window, &client);
    picture.width = client.right - client.left;
    picture.height = client.bottom - client.top;
    if (picture.width <= 0 || picture.height <= 0)
        return {};

    BITMAPINFO info {};
    info.bmiHeader.biSize = sizeof (BITMAPINFOHEADER);
    info.bmiHeader.biWidth = picture.width;
    info.bmiHeader.biHeight = -picture.height; // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;

    HDC windowDc = GetDC (window);
    HDC memoryDc = CreateCompatibleDC (windowDc);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection (windowDc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    bool copied = false;
    if (bitmap != nullptr && bits != nullptr)
    {
        HGDIOBJ previous = SelectObject (memoryDc, bitmap);
        copied = BitBlt (memoryDc, 0, 0, picture.width, picture.height, windowDc, 0, 0, SRCCOPY) != FALSE;
        GdiFlush();
        if (copied)
        {
            const auto* source = static_cast<const std::uint32_t*> (bits);
            picture.pixels.assign (source, source + (size_t) picture.width * (size_t) picture.height);
            for (auto& pixel : picture.pixels)
                pixel &= 0xffffffu;
        }
        SelectObject (memoryDc, previous);
    }
    if (bitmap != nullptr)
        DeleteObject (bitmap);
    DeleteDC (memoryDc);
    ReleaseDC (window, windowDc);
    return copied ? picture : Picture {};
}

// 24-bit bottom-up BMP, the form every viewer reads.
bool writeBmp (const Picture& picture, const std::string& path)
{
    const int rowBytes = (picture.width * 3 + 3) & ~3;
    const auto imageBytes = (DWORD) rowBytes * (DWORD) picture.height;

    BITMAPFILEHEADER fileHeader {};
    fileHeader.bfType = 0x4d42; // "BM"
    fileHeader.bfOffBits = sizeof (BITMAPFILEHEADER) + sizeof (BITMAPINFOHEADER);
    fileHeader.bfSize = fileHeader.bfOffBits + imageBytes;

    BITMAPINFOHEADER infoHeader {};
    infoHeader.biSize = sizeof (BITMAPINFOHEADER);
    infoHeader.biWidth = picture.width;
    infoHeader.biHeight = picture.height;
    infoHeader.biPlanes = 1;
    infoHeader.biBitCount = 24;
    infoHeader.biCompression = BI_RGB;
    infoHeader.biSizeImage = imageBytes;

    FILE* file = _wfopen (widen (path).c_str(), L"wb");
    if (file == nullptr)
        return false;
    bool ok = std::fwrite (&fileHeader, sizeof (fileHeader), 1, file) == 1
           && std::fwrite (&infoHeader, sizeof (infoHeader), 1, file) == 1;
    std::vector<unsigned char> row ((size_t) rowBytes, 0);
    for (int y = picture.height - 1; ok && y >= 0; --y)
    {
        for (int x = 0; x < picture.width; ++x)
        {
            const auto pixel = picture.pixels[(size_t) y * (size_t) picture.width + (size_t) x];
            row[(size_t) x * 3 + 0] = (unsigned char) (pixel & 0xff);
            row[(size_t) x * 3 + 1] = (unsigned char) ((pixel >> 8) & 0xff);
            row[(size_t) x * 3 + 2] = (unsigned char) ((pixel >> 16) & 0xff);
        }
        ok = std::fwrite (row.data(), row.size(), 1, file) == 1;
    }
    return std::fclose (file) == 0 && ok;
}

size_t distinctColours (const Picture& picture)
{
    return std::unordered_set<std::uint32_t> (picture.pixels.begin(), picture.pixels.end()).size();
}

size_t backgroundPixels (const Picture& picture)
{
    return (size_t) std::count_if (picture.pixels.begin(), picture.pixels.end(), [] (std::uint32_t pixel) {
        return std::abs ((int) ((pixel >> 16) & 0xff) - kBackgroundRed) <= kBackgroundTolerance
            && std::abs ((int) ((pixel >> 8) & 0xff) - kBackgroundGreen) <= kBackgroundTolerance
            && std::abs ((int) (pixel & 0xff) - kBackgroundBlue) <= kBackgroundTolerance;
    });
}

// A Windows host's order, from createView to the last release, so that
// nothing of the editor outlives its window.
void testEditor (Instance& instance, const std::string& picturePath)
{
    IPlugView* view = instance.controller->createView (Vst::ViewType::kEditor);
    if (! check (view != nullptr, "controller creates the \"editor\" view"))
        return;

    check (view->isPlatformTypeSupported (kPlatformTypeHWND) == kResultTrue, "view supports HWND");
    check (view->setFrame (&plugFrame) == kResultOk, "view takes the host's frame");

    // 780 x 608 at scale 1; a scale stored by an earlier run keeps the design's shape.
    ViewRect size {};
    const bool sized = view->getSize (&size) == kResultOk;
    if (storedScaleExists())
        check (sized && isDesignSize (size), "view size 0.75-2x of 780 x 608 (scale stored earlier)", sizeText (size));
    else
        check (sized && size.getWidth() == kDesignWidth && size.getHeight() == kDesignHeight, "view size 780 x 608 at scale 1",
               sizeText (size));

    HWND window = createHostWindow (sized ? size : ViewRect { 0, 0, kDesignWidth, kDesignHeight });
    plugFrame.window = window;
    if (! check (window != nullptr, "host window created", window == nullptr ? "error " + std::to_string (GetLastError()) : std::string()))
    {
        view->setFrame (nullptr);
        view->release();
        return;
    }

    const bool attached = check (view->attached (window, kPlatformTypeHWND) == kResultOk, "view attached to the HWND");
    if (attached)
    {
        pumpMessages (1000);

        ViewRect shown {};
        view->getSize (&shown);
        check (isDesignSize (shown), "attached view keeps its size", sizeText (shown));
        check (FindWindowExW (window, nullptr, nullptr, nullptr) != nullptr, "editor put a child window into the host's");

        const auto picture = capture (window);
        check (! picture.pixels.empty(), "editor window grabbed", std::to_string (picture.width) + " x " + std::to_string (picture.height));
        if (! picture.pixels.empty())
        {
            check (writeBmp (picture, picturePath), "editor picture written", picturePath);
            const auto colours = distinctColours (picture);
            check (colours > 32, "editor picture is not blank", std::to_string (colours) + " colours");
            const auto background = backgroundPixels (picture);
            check (background > picture.pixels.size() / 50, "editor background RGB(197,108,100) shows",
                   std::to_string (background) + " of " + std::to_string (picture.pixels.size()) + " pixels");
        }

        // 1.5x, the way a host's resize goes: ask, size the window, confirm.
        ViewRect larger { 0, 0, (int32) std::lround (kDesignWidth * 1.5), (int32) std::lround (kDesignHeight * 1.5) };
        const ViewRect wanted = larger;
        check (view->canResize() == kResultTrue, "view is resizable");
        check (view->checkSizeConstraint (&larger) == kResultTrue && larger.getWidth() == wanted.getWidth()
                   && larger.getHeight() == wanted.getHeight(),
               "1.5x size accepted as it is", sizeText (larger));
        ViewRect distorted { 0, 0, wanted.getWidth(), kDesignHeight };
        view->checkSizeConstraint (&distorted);
        check (keepsDesignAspect (distorted), "a distorted size comes back at 780:608", sizeText (distorted));

        setClientSize (window, larger);
        check (view->onSize (&larger) == kResultTrue, "view takes the 1.5x size");
        pumpMessages (500);
        ViewRect resized {};
        view->getSize (&resized);
        check (resized.getWidth() == wanted.getWidth() && resized.getHeight() == wanted.getHeight(), "view reports the 1.5x size",
               sizeText (resized));

        check (view->removed() == kResultOk, "view removed");
    }

    view->setFrame (nullptr);
    plugFrame.window = nullptr;
    check (view->release() == 0, "view released by its last reference");
    DestroyWindow (window);
    pumpMessages (200);
}

} // namespace

//==============================================================================
int main (int argc, char** argv)
{
    if (argc < 2)
    {
        std::printf ("usage: %s <ZEL.vst3>\n", argv[0]);
        return 2;
    }

    // The plug-in's own diagnostic log; Wine reuses process ids, so start clean.
    wchar_t appData[MAX_PATH] {};
    GetEnvironmentVariableW (L"APPDATA", appData, MAX_PATH);
    const std::wstring logPath = std::wstring (appData) + L"\\velmora\\diag\\ZEL-" + std::to_wstring (GetCurrentProcessId()) + L".log";
    DeleteFileW (logPath.c_str());

    const std::string dllPath = moduleFileFor (argv[1]);
    const std::string picturePath = argc > 2 ? argv[2] : "editor-under-wine.bmp";
    const std::wstring dllPathW = widen (dllPath);
    std::printf ("module: %s\n", dllPath.c_str());

    //--------------------------------------------------------------------------
    // The module: a 64-bit DLL with the three VST3 entry points.
    Module module;
    module.handle = LoadLibraryW (dllPathW.c_str());
    if (! check (module.handle != nullptr, "module loads", module.handle == nullptr ? "LoadLibrary error " + std::to_string (GetLastError()) : std::string()))
    {
        return vo::test::CheckReport::forThisProgram().abandon();
    }

    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*> (module.handle);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*> (reinterpret_cast<const char*> (module.handle) + dos->e_lfanew);
    check (nt->FileHeader.Machine == IMAGE_FILE_MACHINE_AMD64 && (nt->FileHeader.Characteristics & IMAGE_FILE_DLL) != 0,
           "module is an x64 DLL");

    using InitDll = bool (PLUGIN_API*)();
    using ExitDll = bool (PLUGIN_API*)();
    using GetFactory = IPluginFactory* (PLUGIN_API*)();
    const auto initDll = reinterpret_cast<InitDll> (reinterpret_cast<void (*)()> (GetProcAddress (module.handle, "InitDll")));
    const auto exitDll = reinterpret_cast<ExitDll> (reinterpret_cast<void (*)()> (GetProcAddress (module.handle, "ExitDll")));
    const auto getFactory = reinterpret_cast<GetFactory> (reinterpret_cast<void (*)()> (GetProcAddress (module.handle, "GetPluginFactory")));
    check (initDll != nullptr && exitDll != nullptr && getFactory != nullptr, "exports GetPluginFactory, InitDll, ExitDll");
    if (initDll == nullptr || getFactory == nullptr)
    {
        return vo::test::CheckReport::forThisProgram().abandon();
    }
    check (initDll(), "InitDll succeeds");

    check (versionString (dllPathW, L"CompanyName") == "velmora", "version resource company",
           quoted (versionString (dllPathW, L"CompanyName")));
    check (versionString (dllPathW, L"ProductName") == "ZEL", "version resource product name",
           quoted (versionString (dllPathW, L"ProductName")));
    check (versionString (dllPathW, L"FileDescription") == "ZEL", "version resource file description",
           quoted (versionString (dllPathW, L"FileDescription")));
    check (versionString (dllPathW, L"FileVersion") == "1.0.0" && versionString (dllPathW, L"ProductVersion") == "1.0.0",
           "version resource file and product version", quoted (versionString (dllPathW, L"FileVersion")));
    check (fixedFileVersion (dllPathW) == "1.0.0.0", "numeric file version", fixedFileVersion (dllPathW));

    //--------------------------------------------------------------------------
    // Factory and classes.
    module.factory = getFactory();
    if (! check (module.factory != nullptr, "factory created"))
    {
        return vo::test::CheckReport::forThisProgram().abandon();
    }

    PFactoryInfo factoryInfo {};
    module.factory->getFactoryInfo (&factoryInfo);
    check (std::string (factoryInfo.vendor) == "velmora", "factory vendor", quoted (factoryInfo.vendor));
    check (std::string (factoryInfo.url).rfind ("https://", 0) == 0, "factory web site", quoted (factoryInfo.url));
    check (std::string (factoryInfo.email).empty(), "factory e-mail empty", quoted (factoryInfo.email));
    check ((factoryInfo.flags & PFactoryInfo::kUnicode) != 0, "factory flags: Unicode");

    auto* factory2 = queryAs<IPluginFactory2> (module.factory);
    check (factory2 != nullptr, "factory offers class information 2");

    TUID componentClass {};
    TUID controllerClass {};
    bool haveComponent = false, haveController = false;
    const int32 classCount = module.factory->countClasses();
    check (classCount >= 2, "factory publishes the audio module and controller classes", std::to_string (classCount) + " classes");
    for (int32 i = 0; i < classCount && factory2 != nullptr; ++i)
    {
        PClassInfo2 info {};
        if (factory2->getClassInfo2 (i, &info) != kResultOk)
            continue;
        const std::string category = info.category;
        std::printf ("class %d: \"%s\" %s \"%s\" vendor \"%s\" version \"%s\"\n", (int) i, info.name, category.c_str(),
                     info.subCategories, info.vendor, info.version);
        if (category == kVstAudioEffectClass || category == kVstComponentControllerClass)
        {
            const bool isComponent = category == kVstAudioEffectClass;
            const std::string label = isComponent ? "audio module class" : "controller class";
            check (std::string (info.name) == "ZEL", label + " name", quoted (info.name));
            check (std::string (info.subCategories) == "Fx|Dynamics", label + " sub-categories", quoted (info.subCategories));
            check (std::string (info.vendor) == "velmora", label + " vendor", quoted (info.vendor));
            check (std::string (info.version) == "1.0.0", label + " version", quoted (info.version));
            check (info.cardinality == PClassInfo::kManyInstances, label + " allows many instances");
            std::memcpy (isComponent ? componentClass : controllerClass, info.cid, sizeof (TUID));
            (isComponent ? haveComponent : haveController) = true;
        }
    }
    check (haveComponent && haveController, "both classes found");
    if (factory2 != nullptr)
        factory2->release();
    if (! haveComponent)
    {
        return vo::test::CheckReport::forThisProgram().abandon();
    }

    //--------------------------------------------------------------------------
    // Instance A: buses, parameters, processing.
    Instance a;
    const bool createdA = check (createInstance (*module.factory, componentClass, a), "instance A: component and controller created and connected");

    if (createdA)
    {
        TUID reported {};
        a.component->getControllerClassId (reported);
        check (FUnknownPrivate::iidEqual (reported, controllerClass), "component names the published controller class");

        check (a.component->getBusCount (Vst::kAudio, Vst::kInput) == 2, "two audio inputs",
               std::to_string (a.component->getBusCount (Vst::kAudio, Vst::kInput)));
        check (a.component->getBusCount (Vst::kAudio, Vst::kOutput) == 1, "one audio output");
        check (a.component->getBusCount (Vst::kEvent, Vst::kInput) == 0 && a.component->getBusCount (Vst::kEvent, Vst::kOutput) == 0,
               "no event buses");

        Vst::BusInfo bus {};
        a.component->getBusInfo (Vst::kAudio, Vst::kInput, 0, bus);
        check (narrow (bus.name) == "Input" && bus.busType == Vst::kMain && bus.channelCount == 2
                   && (bus.flags & Vst::BusInfo::kDefaultActive) != 0,
               "input bus 0: \"Input\", main, stereo, active by default", quoted (narrow (bus.name)));
        a.component->getBusInfo (Vst::kAudio, Vst::kInput, 1, bus);
        check (narrow (bus.name) == "Sidechain" && bus.busType == Vst::kAux && bus.channelCount == 2
                   && (bus.flags & Vst::BusInfo::kDefaultActive) == 0,
               "input bus 1: \"Sidechain\", aux, stereo, off by default", quoted (narrow (bus.name)));
        a.component->getBusInfo (Vst::kAudio, Vst::kOutput, 0, bus);
        check (narrow (bus.name) == "Output" && bus.busType == Vst::kMain && bus.channelCount == 2,
               "output bus 0: \"Output\", main, stereo", quoted (narrow (bus.name)));

        const char* expected[] = { "Amount", "Low Cut", "High Cut", "Freeze", "Attack", "Release",
                                   "Mode", "Pan", "SC Audition", "Smooth", "Bypass" };
        std::string titles;
        for (const auto& info : a.parameters)
            titles += (titles.empty() ? "" : ", ") + narrow (info.title);
        check (a.parameters.size() == 11, "controller shows eleven parameters", titles);
        bool namesMatch = a.parameters.size() == 11;
        bool automatable = true;
        for (size_t i = 0; i < a.parameters.size() && i < 11; ++i)
        {
            namesMatch = namesMatch && narrow (a.parameters[i].title) == expected[i];
            automatable = automatable && (a.parameters[i].flags & Vst::ParameterInfo::kCanAutomate) != 0;
        }
        check (namesMatch, "parameters in order Amount ... Bypass");
        check (automatable, "every parameter automatable");
        check (! a.parameters.empty() && (a.parameters.back().flags & Vst::ParameterInfo::kIsBypass) != 0,
               "last parameter is the host bypass");

        check (a.processor->canProcessSampleSize (Vst::kSample32) == kResultTrue, "processes 32-bit samples");
        check (a.processor->getLatencySamples() == 0, "latency 0 samples");

        const bool started = check (startProcessing (a), "instance A: stereo + sidechain arrangement accepted, buses activated, processing");
        if (started)
        {
            check (a.processor->getTailSamples() == 0, "tail 0 samples");

            // A first pass with the cut off: the track passes as it came.
            const auto dry = run (a, 40, nullptr);
            check (dry.processedOk && dry.finite, "process() succeeds with finite output");
            check (std::abs (dry.outputRms / dry.inputRms - 1.0) < 0.05, "amount 0: track passes unchanged",
                   decibels (dry.outputRms / dry.inputRms));

            // Full amount: the sidechain's tone is cut out of the track.
            ParamChanges full;
            full.queues.emplace_back (a.idOf ("Amount"), 1.0);
            const auto cut = run (a, 120, &full);
            check (cut.processedOk && cut.finite, "process() with sidechain succeeds with finite output");
            check (cut.outputRms < 0.5 * cut.inputRms, "amount 100 %: sidechain tone cut from the track",
                   decibels (cut.outputRms / cut.inputRms));
            // Hosts tell the controller about their automation themselves.
            a.controller->setParamNormalized (a.idOf ("Amount"), 1.0);
            pumpMessages (200);
            stopProcessing (a);
        }

        //----------------------------------------------------------------------
        // State: A's state restored into a second instance.
        MemoryStream savedA;
        const bool savedOk = a.component->getState (&savedA) == kResultOk;
        check (savedOk && ! savedA.data.empty(), "instance A: state saved", std::to_string (savedA.data.size()) + " bytes");

        Instance b;
        if (check (createInstance (*module.factory, componentClass, b), "instance B created"))
        {
            savedA.rewind();
            check (b.component->setState (&savedA) == kResultOk, "instance B: component accepts A's state");
            // The controller takes the values; the framework's base class answers
            // "not implemented" after doing so, which hosts ignore.
            savedA.rewind();
            b.controller->setComponentState (&savedA);
            pumpMessages (300);

            check (std::abs (b.controller->getParamNormalized (b.idOf ("Amount")) - 1.0) < 1e-6,
                   "instance B: amount restored to 100 %");

            MemoryStream savedB;
            b.component->getState (&savedB);
            check (savedB.data == savedA.data, "instance B saves the same state as A",
                   std::to_string (savedB.data.size()) + " vs " + std::to_string (savedA.data.size()) + " bytes");

            if (check (startProcessing (b), "instance B: processing"))
            {
                const auto cutB = run (b, 120, nullptr);
                check (cutB.processedOk && cutB.finite && cutB.outputRms < 0.5 * cutB.inputRms,
                       "instance B cuts like A", decibels (cutB.outputRms / cutB.inputRms));
                stopProcessing (b);
            }
        }
        destroyInstance (b);

        //----------------------------------------------------------------------
        // The editor, in a window of the host's.
        testEditor (a, picturePath);
    }
    destroyInstance (a);
    pumpMessages (100);

    module.factory->release();
    check (exitDll == nullptr || exitDll(), "ExitDll succeeds");
    FreeLibrary (module.handle);

    std::string log;
    if (FILE* file = _wfopen (logPath.c_str(), L"rb"))
    {
        char chunk[4096];
        for (size_t n; (n = std::fread (chunk, 1, sizeof (chunk), file)) > 0;)
            log.append (chunk, n);
        std::fclose (file);
    }
    check (log.find ("] === session start ===") != std::string::npos && log.find ("] processor CTOR ZEL v1.0.0") != std::string::npos
               && log.find ("] watchdog stopped") != std::string::npos,
           "plug-in's log in %APPDATA%\\velmora\\diag\\ZEL-<pid>.log", std::to_string (log.size()) + " bytes");

    return vo::test::CheckReport::forThisProgram().finish();
}
