// Resource ids.
