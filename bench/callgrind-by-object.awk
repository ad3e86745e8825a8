# Sums a callgrind output file's instructions (self cost) by the object that executed them,
# grouped as: our code, the bench harness, libGL, the driver, LLVM, JIT-compiled shaders,
# libc, libm, X libs, and the rest. Also reports what our code's direct calls into libc and
# libm cost (inclusive), since that work is ours to ask for.
#
# Usage: awk -v exe=/path/to/varo-bench -f callgrind-by-object.awk callgrind.out.PID
# Prints "instructions<TAB>percent<TAB>group" lines (unsorted; pipe through sort -rn), the last
# two being our code with its libc/libm calls, and the total.

function resolve(line, kind,    rest, id, name) {
    rest = substr(line, index(line, "=") + 1)
    if (rest ~ /^\([0-9]+\)/) {
        id = substr(rest, 2, index(rest, ")") - 2)
        name = substr(rest, index(rest, ")") + 1)
        sub(/^ /, "", name)
        if (name != "")
            names[kind, id] = name
        return names[kind, id]
    }
    return rest
}

function group(object, fn,    base) {
    base = object
    sub(/.*\//, "", base)
    if (object == exe)
        return (fn ~ /^bench::/ || fn ~ /^__wrap_/ || fn == "main") ? "bench harness" : "our code"
    if (base ~ /^swrast_dri|^libgallium|_dri\.so/) return "driver (swrast_dri, libgallium)"
    if (base ~ /^libLLVM/) return "LLVM"
    if (object == "???" || object == "") return "JIT code (shaders)"
    if (base ~ /^libGLU/) return "libGLU"
    if (base ~ /^libGL|^libGLX|^libGLdispatch|^libOpenGL|^libglapi/) return "libGL (GLX, dispatch)"
    if (base ~ /^libglut/) return "libglut"
    if (base ~ /^libc\.so/) return "libc"
    if (base ~ /^libm\.so/) return "libm"
    if (base ~ /^libX|^libxcb|^libxshm/) return "X libs"
    if (base ~ /^ld-linux/) return "ld.so"
    if (base ~ /^libstdc\+\+|^libgcc/) return "C++ runtime"
    return "other (" base ")"
}

BEGIN { inCall = 0 }
/^ob=/  { object = resolve($0, "ob"); next }
/^cob=/ { callee = resolve($0, "ob"); next }
/^fl=/  { resolve($0, "fl"); next }
/^(fi|fe|cfi|cfl)=/ { resolve($0, "fl"); next }
/^fn=/  { fn = resolve($0, "fn"); mine = group(object, fn); callee = ""; next }
/^cfn=/ { resolve($0, "fn"); next }
/^calls=/ { inCall = 1; next }
/^[0-9+*-]/ {
    cost = $2 + 0
    if (inCall) {
        calleeGroup = group(callee == "" ? object : callee, "")
        if (mine == "our code" && (calleeGroup == "libc" || calleeGroup == "libm"))
            ourLibCalls += cost
        inCall = 0
        callee = ""
    } else {
        self[mine] += cost
        total += cost
    }
    next
}
END {
    if (total == 0) {
        print "no instructions collected" > "/dev/stderr"
        exit 1
    }
    for (g in self)
        printf "%.0f\t%.4f%%\t%s\n", self[g], 100 * self[g] / total, g
    ours = self["our code"] + ourLibCalls
    printf "%.0f\t%.4f%%\t%s\n", ours, 100 * ours / total, "our code + its libc/libm calls"
    printf "%.0f\t%.4f%%\t%s\n", total, 100, "total"
}
