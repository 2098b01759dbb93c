// The engine core and its value channels (see ValueChannels.h).
#include "ValueChannels.h"

#include <string.h>

#include "ProjectFile.h"
#include "SettingsFiles.h"
#include "Trace.h"

void NamedValueChannel::SetValue(float value)
{
    EngineTrace("SetValue", "%s %s", name_.c_str(), project::FormatValue(value).c_str());
    value_.store(value);
}

void* StandInCore::CreateObject(GUID type, int reserved1, int reserved2)
{
    EngineTrace("CreateObject", "%s %d %d", FormatGuid(type).text, reserved1, reserved2);
    if (IsEqualGUID(type, settingsLoaderType)) return static_cast<FileLoader*>(new ChunkFileLoader);
    if (IsEqualGUID(type, settingsSaverType)) return static_cast<FileSaver*>(new ChunkFileSaver);
    return nullptr;
}

int StandInCore::ChannelCount() { return static_cast<int>(channels_.size()); }

ValueChannel* StandInCore::FindChannel(GUID type, const char* name)
{
    EngineTrace("FindChannel", "%s %s", FormatGuid(type).text, name ? name : "(null)");
    if (!IsEqualGUID(type, saverChannelType) || name == nullptr) return nullptr;
    for (auto& channel : channels_) {
        if (channel->Name() == name) return channel.get();
    }
    return nullptr;
}

void StandInCore::DefineChannels(const std::vector<std::string>& names)
{
    channels_.clear();
    for (const std::string& name : names)
        channels_.push_back(std::make_unique<NamedValueChannel>(name));
}

std::vector<float> StandInCore::ChannelValues() const
{
    std::vector<float> values;
    for (auto& channel : channels_) values.push_back(channel->Value());
    return values;
}
