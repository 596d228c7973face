// The platform's own window classes, registered when the first class is looked up.
void RegisterStandardWindowClasses() {}
