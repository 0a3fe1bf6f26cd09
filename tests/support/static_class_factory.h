// The IUnknown part of a class factory that lives as long as its library (a
// static of it): the kit's, answering for IUnknown and IClassFactory, with a
// count that never ends the factory. The test components derive their
// factories from it.
#pragma once

#include <tarvel/unknown.h>

class StaticClassFactory : public tarvel::Unknown<IClassFactory, tarvel::LastRelease::Keeps> {
protected:
    StaticClassFactory() : Unknown(IID_IClassFactory) {}
};
