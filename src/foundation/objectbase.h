// The reporting base classes and the reports of free functions. A report never throws: it shows
// a modal box (except GlobalReport), copies the same text to the debug link, and returns.
#pragma once

#include <string>

class CObjectBase {
public:
    std::string strClassName;
};

// Base of the classes that have many instances.
class CObject : public CObjectBase {
public:
    // Box captioned with the class name; the text also goes to the debug link.
    void Error(std::string msg);
};

// Base of the managers and containers.
class CNamedObject : public CObjectBase {
public:
    std::string strObjectName;

    CNamedObject() = default;
    // Only assignment copies the object name.
    CNamedObject(const CNamedObject& other) : CObjectBase(other) {}
    CNamedObject& operator=(const CNamedObject& other) = default;

    // Box captioned with the class name, ":" and the object name.
    void Error(std::string msg);
    // Box text and link text are "warning:" + msg, captioned with the class name. The integer
    // is not read.
    void Warning(std::string msg, int level);
};

// Box captioned "global", and the debug link.
void GlobalError(std::string msg);
// The debug link only.
void GlobalReport(std::string msg);
