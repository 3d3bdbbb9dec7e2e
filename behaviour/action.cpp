// The action base: its class record and stored form.
#include "behaviour/action.h"

#include "model/archive.h"

IMPLEMENT_SERIAL(CAction, CIconObject, VERSIONABLE_SCHEMA | 2)

void CAction::Serialize(CArchive& ar) { CIconObject::Serialize(ar); }

void CAction::CopyFrom(const CIconObject* source, BOOL keepIdentity) { CIconObject::CopyFrom(source, keepIdentity); }
