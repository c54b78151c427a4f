// The key table: the key file's codes and the two expression functions through which scripts poll
// the keyboard, beside the user interface's own input.
#pragma once

#include <string>

#include "foundation/arraylist.h"

class CKeyTable : public CNamedObject {
public:
    ArrayList<int> keys{20};
    unsigned char previous[256] = {};
    bool enabled = false;

    void Load(std::string file);
    void Enable() { enabled = true; }
    CKeyTable& Disable()
    {
        enabled = false;
        return *this;
    }

    float KeyDown(float code) const;
    // Consumes the press edge of the key: only the first test after it went down sees it.
    float KeyPress(float code);
};

extern CKeyTable g_KeyTable;

// Expression functions "CheckKeyDown" and "CheckKeyPress".
float CheckKeyDown(const float* args, int count);
float CheckKeyPress(const float* args, int count);
