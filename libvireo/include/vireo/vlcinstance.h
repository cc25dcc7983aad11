#pragma once

#include "vireoexport.h"

#include <QObject>
#include <QStringList>

#include <memory>

class VlcInstancePrivate;

// One engine instance. Players made from it take it as their QObject parent,
// so deleting the instance deletes its players first.
class VIREO_EXPORT VlcInstance : public QObject
{
    Q_OBJECT
public:
    // Copies every argument as UTF-8 and keeps the copies for the instance's lifetime.
    explicit VlcInstance(const QStringList& args, QObject* parent = nullptr);
    // Uses argv directly: the caller keeps it alive.
    VlcInstance(int argc, const char* const* argv, QObject* parent = nullptr);
    ~VlcInstance() override;

    VlcInstance(const VlcInstance&) = delete;
    VlcInstance& operator=(const VlcInstance&) = delete;

    // False when the engine could not start; players made from it then refuse everything.
    bool isValid() const;

    // Kept for the program's start-up sequence; the engine finds its plug-ins
    // by its own default search, so the path is not used.
    static void SetupLibrary(const QString& pluginPath);
    // Options for trip playback.
    static QStringList OptimizedPlayerArgs();
    // The same with the graphics hardware's video decoder (VA-API or VDPAU, where the machine
    // offers one) allowed or not; the arguments above allow it.
    static QStringList OptimizedPlayerArgs(bool hardwareDecoding);

private:
    friend class VlcInstancePrivate;
    std::unique_ptr<VlcInstancePrivate> m_d;
};
