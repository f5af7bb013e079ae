// The portable layer's own header.
