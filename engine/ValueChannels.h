// The engine core's value channels: the named float channels a project
// defines, which the viewer finds with FindChannel and sets with SetValue,
// and which the project's text lines show.
#pragma once

#include <atomic>
#include <memory>
#include <string>
#include <vector>

#include "common/EngineInterface.h"

class NamedValueChannel final : public ValueChannel {
public:
    explicit NamedValueChannel(const std::string& name) : name_(name) {}
    void SetValue(float value) override;
    const std::string& Name() const { return name_; }
    float Value() const { return value_.load(); }

private:
    std::string name_;
    // Set on the window thread, shown by the frame thread.
    std::atomic<float> value_{0.0f};
};

class StandInCore final : public EngineCore {
public:
    // The settings FileLoader or FileSaver; null for any other type.
    void* CreateObject(GUID type, int reserved1, int reserved2) override;
    int ChannelCount() override;
    // A channel of the loaded project by name; only the saver channel type
    // names value channels, so any other type finds nothing.
    ValueChannel* FindChannel(GUID type, const char* name) override;

    // Replaces the channels by a newly loaded project's, each at 0; channels
    // found before are gone (the viewer loads one project per engine).
    void DefineChannels(const std::vector<std::string>& names);
    std::vector<float> ChannelValues() const;

private:
    std::vector<std::unique_ptr<NamedValueChannel>> channels_;
};
