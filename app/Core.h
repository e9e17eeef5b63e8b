// The game's application: places the camera, gives the window its icon, lights the scene.
#pragma once

#include "shell_application.h"

class Core : public ShellApplication
{
public:
    ~Core() override;

protected:
    bool configureWindow() override;
    void setupCamera() override;
    void installFrameListener() override;
    void buildScene() override;
};
