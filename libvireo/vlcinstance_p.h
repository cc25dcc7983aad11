#pragma once

struct libvlc_instance_t;
class VlcInstance;

// The engine behind a VlcInstance, for the library's own classes.
class VlcInstancePrivate
{
public:
    // The engine handle of instance; null when there is none or it did not start.
    static libvlc_instance_t* core(const VlcInstance* instance);

    libvlc_instance_t* engine = nullptr;
    // UTF-8 copies of the options, kept while the engine lives: it may refer to them.
    int argc = 0;
    char** argv = nullptr;
};
