// Program entry: runs the application and reports any error that escapes it.
#include "Core.h"
#include "FatalError.h"

#include <CEGUI/Exceptions.h>
#include <OgreException.h>

#include <cstdlib>
#include <exception>

int main()
{
    Core application;
    try {
        application.run();
    } catch (const Ogre::Exception& e) {
        application.releaseForErrorReport();
        reportFatalError(e.getFullDescription());
        return EXIT_FAILURE;
    } catch (const CEGUI::Exception& e) {
        application.releaseForErrorReport();
        reportFatalError(e.what());
        return EXIT_FAILURE;
    } catch (const std::exception& e) {
        application.releaseForErrorReport();
        reportFatalError(e.what());
        return EXIT_FAILURE;
    }
    return EXIT_SUCCESS;
}
