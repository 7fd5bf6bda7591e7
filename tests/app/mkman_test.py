#!/usr/bin/env python3
"""The man-page converter: roff escaping, terms and descriptions, examples, and bad sources."""
import sys
import types
import unittest

# The converter's path comes first on the command line; unittest reads the rest.
mkman = types.ModuleType("mkman")
with open(sys.argv.pop(1), encoding="utf-8") as source:
    exec(compile(source.read(), "mkman.py", "exec"), mkman.__dict__)

HEAD = "% orva(1) | orva @VERSION@\n"


class Convert(unittest.TestCase):
    def test_title_carries_the_name_section_and_version(self):
        roff = mkman.convert(HEAD + "# NAME\norva - play\n", "1.2.3")
        self.assertTrue(roff.startswith('.TH "ORVA" "1" "" "orva 1.2.3" "User Commands"\n'))
        self.assertIn(".SH NAME\norva \\- play\n", roff)

    def test_dashes_backslashes_and_leading_dots_are_escaped(self):
        roff = mkman.convert(HEAD + "a --b c\\d\n.hidden request\n'quote\n", "1")
        self.assertIn("a \\-\\-b c\\ed\n", roff)
        self.assertIn("\\&.hidden request\n", roff)
        self.assertIn("\\&'quote\n", roff)

    def test_a_line_followed_by_a_colon_line_is_a_term_with_its_description(self):
        roff = mkman.convert(HEAD + "# OPTIONS\n`--game DIR`\n: Play *DIR*.\n  More.\n", "1")
        self.assertIn(".TP\n\\fB\\-\\-game DIR\\fR\nPlay \\fIDIR\\fR.\nMore.\n", roff)

    def test_paragraphs_bullets_and_examples(self):
        roff = mkman.convert(HEAD + "# A\none\n\ntwo\n- item **b**\n\n```\n.x -y\n```\n", "1")
        self.assertIn("one\n.PP\ntwo\n.IP \\(bu 2\nitem \\fBb\\fR\n.PP\n.EX\n\\&.x \\-y\n.EE\n", roff)
        # No paragraph break right after a heading or before the next one.
        self.assertNotIn(".SH A\n.PP", mkman.convert(HEAD + "# A\n\ntext\n\n# B\n", "1"))
        self.assertNotIn(".PP\n.SH", mkman.convert(HEAD + "# A\ntext\n\n# B\n", "1"))

    def test_bad_sources_are_refused(self):
        for bad in ["# NAME\n", "% orva | x\n", HEAD + "```\nopen\n"]:
            with self.assertRaises(ValueError):
                mkman.convert(bad, "1")


if __name__ == "__main__":
    unittest.main()
