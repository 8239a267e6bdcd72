// The interface ids the test host uses, defined once for the program. The base
// interfaces (FUnknown, IPluginFactory*, IBStream) come from the SDK's own
// coreiids.cpp.

#include <pluginterfaces/gui/iplugview.h>
#include <pluginterfaces/vst/ivstaudioprocessor.h>
#include <pluginterfaces/vst/ivstcomponent.h>
#include <pluginterfaces/vst/ivsteditcontroller.h>
#include <pluginterfaces/vst/ivsthostapplication.h>
#include <pluginterfaces/vst/ivstmessage.h>
#include <pluginterfaces/vst/ivstparameterchanges.h>
#include <pluginterfaces/vst/ivstunits.h>

namespace Steinberg
{
DEF_CLASS_IID (IPlugView)
DEF_CLASS_IID (IPlugFrame)
} // namespace Steinberg

namespace Steinberg::Vst
{
DEF_CLASS_IID (IComponent)
DEF_CLASS_IID (IAudioProcessor)
DEF_CLASS_IID (IEditController)
DEF_CLASS_IID (IComponentHandler)
DEF_CLASS_IID (IConnectionPoint)
DEF_CLASS_IID (IHostApplication)
DEF_CLASS_IID (IParamValueQueue)
DEF_CLASS_IID (IParameterChanges)
DEF_CLASS_IID (IUnitInfo)
} // namespace Steinberg::Vst
