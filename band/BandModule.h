// A band module's side of COM, and the engine it runs: each band module defines its
// product descriptor and forwards its four entry points here.
//
// The module's engine (one job manager, and the browser pool its first extraction or
// rebuild creates) starts with the first panel and ends when the last band object
// goes, after the jobs still running have ended, so no thread of the module outlives
// the bands that use it.
#pragma once

#include "band/BandProduct.h"
#include "platform/base/Types.h"
#include "platform/com/Guid.h"
#include "platform/com/ServerRegistration.h"

// The entry points of a band module.
HRESULT BandGetClassObject(const BandProduct& product, REFCLSID clsid, REFIID iid, void** object);
HRESULT BandCanUnloadNow();
HRESULT BandRegisterServer(const BandProduct& product);
HRESULT BandUnregisterServer(const BandProduct& product);

// The product's registry script: ProgIDs, class (with the vertical band category among
// its implemented categories), type library and interface.
RegistryScript BandRegistryScript(const BandProduct& product);

// Band objects alive in the module; the last one to go ends the module's engine.
void BandObjectCreated();
void BandObjectDestroyed();
LONG BandObjectCount();

// The module's job manager, started on first use with the product's limit; thumbnails
// are made or not as the product says (MakeThumbnailsJob.h). An engine
// that the last band's end left behind (jobs still ran) is taken up again: its pool,
// closed then, lends again.
void StartBandEngine(const BandProduct& product);
// Ends the module's engine: the pool stops lending, the jobs still running are waited
// for (bounded), then the pool and the manager go. Never on a job's thread, never with
// the process lock held.
void StopBandEngine();
