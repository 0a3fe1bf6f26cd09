// Loads fine but serves nothing: the loader must say so rather than crash.
extern "C" int tarvel_no_entry_library_marker()
{
    return 42;
}
