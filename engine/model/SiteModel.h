// The site, project and diagram objects of the model. Only the factory builds them
// (from element trees); each creates its collections (and, for a diagram, its
// preferences and connection map) as children, in the order below.
#pragma once

#include "engine/model/aggObject.h"

// "html-site": collection "html-pages" of "html-page".
class htmlSite : public aggObject {
public:
    htmlSite();
};

// "agg-project": collections "agg-sites" of "agg-site", "foreign-sites" of
// "foreign-site".
class aggProject : public aggObject {
public:
    aggProject();
};

// "agg-site": collections "html-form-sequences" of "html-form", "agg-process-diagrams"
// of "agg-process-diagram".
class aggSite : public aggObject {
public:
    aggSite();
};

// "foreign-site": collection "html-form-sequences" of "html-form".
class foreignSite : public aggObject {
public:
    foreignSite();
};

// "diagram-preferences".
class diagramPreferences : public aggObject {
public:
    diagramPreferences();
};

// "diagram-object".
class diagramObject : public aggObject {
public:
    diagramObject();
};

// "connection-item".
class connectionItem : public aggObject {
public:
    connectionItem();
};

// "connection-object".
class connectionObject : public aggObject {
public:
    connectionObject();
};

// "connection-map": collections "connection-items" of "connection-item",
// "connection-objects" of "connection-object".
class connectionMap : public aggObject {
public:
    connectionMap();
};

// "agg-process-diagram": a diagramPreferences, collection "diagram-objects" of
// "diagram-object", a connectionMap, collection "connection-objects" of
// "connection-object".
class aggProcessDiagram : public aggObject {
public:
    aggProcessDiagram();
};
