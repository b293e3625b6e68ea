// The application object: it runs the main dialog modally and ends the program when it closes.
#pragma once

#include "display/platform/application_base.h"

class CMainApp : public platform::ApplicationBase {
public:
    bool InitInstance() override;
};
