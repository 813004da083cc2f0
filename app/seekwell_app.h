#pragma once

#include "win_app.h"

class CSeekwellApp : public CWinApp {
public:
    BOOL InitInstance() override;
};
