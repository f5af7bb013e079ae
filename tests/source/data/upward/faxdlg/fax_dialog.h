// A dialog header.
