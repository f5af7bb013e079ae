// A table of the portable layer that is made on first use: a static object
// of another file may call into the layer before this file's statics are
// made. After that it is reached through a plain pointer, null before any
// code runs, which spares every call the check of a guarded static.
#ifndef ORVIXFAX_PORTABLE_MADE_ON_FIRST_USE_H
#define ORVIXFAX_PORTABLE_MADE_ON_FIRST_USE_H

namespace portable {

template <typename T>
class MadeOnFirstUse {
public:
    T &Get() { return made_ != nullptr ? *made_ : Make(); }
    // Null until the first Get: a call that finds nothing to do without
    // the table need not make it.
    T *IfMade() const { return made_; }

private:
    __attribute__((noinline)) T &Make() {
        static T object;
        made_ = &object;
        return object;
    }

    T *made_ = nullptr;
};

}  // namespace portable

#endif
