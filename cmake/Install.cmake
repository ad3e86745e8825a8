# Installing Varo like a desktop program, and its Debian package.
