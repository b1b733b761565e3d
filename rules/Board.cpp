// filled in by the rules core work
