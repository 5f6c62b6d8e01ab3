"""Generators for every image under resource/ (see tools/README.md)."""
