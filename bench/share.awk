# Our share of the instructions and allocations, from `callgrind_annotate --tree=caller
# --threshold=100` (which cannot group by object): self cost by group of objects, our calls into
# libc and libm (inclusive), calls of the C allocator and those our code made. Prints count,
# count per frame, share of the instructions, what. Usage: awk -v exe=VARO-BENCH -v frames=N

function group(object, fn,    base) {
    base = object
    sub(/.*\//, "", base)
    if (object == exe) return fn ~ /^(bench::|main$)/ ? "bench harness" : "our code"
    if (base ~ /_dri\.so|^libgallium/) return "driver (swrast_dri)"
    if (base ~ /^libLLVM/) return "LLVM"
    if (base == "???") return "no object (JIT shaders, GL dispatch stubs)"
    if (base ~ /^libGLU/) return "libGLU"
    if (base ~ /^lib(GL|GLX|GLdispatch|glapi)[._-]/) return "libGL"
    if (base ~ /^libglut/) return "libglut"
    if (base ~ /^libc\.so/) return "libc"
    if (base ~ /^libm\.so/) return "libm"
    if (base ~ /^lib(X|xcb|xshm)/) return "X libraries"
    if (base ~ /^lib(stdc\+\+|gcc)/) return "C++ runtime (libgcc_s, libstdc++)"
    return "other"
}

# One line of the tree ('<' a caller, '*' the function): cost, calls, function, object, group.
function parse(line,    rest) {
    cost = $1
    gsub(/,/, "", cost)
    rest = substr(line, index(line, "%)") + 2)
    sub(/^ +/, "", rest)
    calls = 0
    if (match(rest, /\([0-9,]+x\)/)) {
        calls = substr(rest, RSTART + 1, RLENGTH - 3)
        gsub(/,/, "", calls)
    }
    fn = substr(rest, 3)
    sub(/ (\([0-9,]+x\) ?)?(\[[^]]*\])?$/, "", fn)
    sub(/^ *[^:]*:/, "", fn)
    object = ""
    if (match(rest, / \[[^]]*\]$/))
        objectOf[fn] = object = substr(rest, RSTART + 2, RLENGTH - 3)
    kind = group(object, fn)
}

/PROGRAM TOTALS/ { total = $1; gsub(/,/, "", total) }
/%\) +< / { parse($0); callers[++n] = kind; callerCost[n] = cost; callerCalls[n] = calls }
/%\) +\* / {
    parse($0)
    if (object == "") {  # a part inlined from another file, shown without its function's object
        unplaced[fn] += cost
        n = 0
        next
    }
    self[kind] += cost
    allocator = kind == "libc" && fn ~ /^(__libc_)?(malloc|calloc|realloc|memalign|aligned_alloc|posix_memalign)$/
    for (i = 1; i <= n; i++) {
        if (callers[i] == "our code" && (kind == "libc" || kind == "libm"))
            libCalls += callerCost[i]
        if (allocator) allocs += callerCalls[i]
        if (callers[i] == "our code" && (allocator || fn ~ /^operator new/))
            ourAllocs += callerCalls[i]
    }
    n = 0
}
END {
    if (total == 0) { print "share.awk: no PROGRAM TOTALS" > "/dev/stderr"; exit 1 }
    for (f in unplaced) self[group(objectOf[f], f)] += unplaced[f]
    self["total"] = total
    self["our code with its libc and libm calls"] = self["our code"] + libCalls
    for (g in self) printf "%14.0f %14.0f %9.4f%%  %s\n", self[g], self[g] / frames, 100 * self[g] / total, g
    printf "%14.0f %14.1f %10s  allocation calls\n", allocs, allocs / frames, ""
    printf "%14.0f %14.1f %10s  allocation calls by our code\n", ourAllocs, ourAllocs / frames, ""
}
