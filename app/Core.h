// The game's application: places the camera, gives the window its icon and class, lights the scene.
#pragma once

#include "shell_application.h"

#include <memory>

class MediaCheck;

class Core : public ShellApplication
{
public:
    Core();
    ~Core() override;

protected:
    bool configureWindow() override;
    void dressWindow() override;
    void setupCamera() override;
    void installFrameListener() override;
    void buildScene() override;
    void installResourceListener() override;
    void initialiseResources() override;
    void beforeWindowDestroyed() override;

private:
    std::unique_ptr<MediaCheck> mMediaCheck;
};
