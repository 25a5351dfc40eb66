<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<!-- The program speaks German already: the sample dealer's German file changes
     none of its texts. A dealer puts the wording of its own here. -->
<TS version="2.1" language="de_DE" sourcelanguage="de_DE">
</TS>
