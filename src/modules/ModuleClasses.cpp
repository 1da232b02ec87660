// Module classes are added here one file per class.
